#include <gtest/gtest.h>

#include "core/command_buffer.h"
#include "core/command_vocabulary.h"
#include "core/text_encoding.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

CommandBuffer VisciiOf(std::u16string_view text) {
  CommandBuffer buffer;
  AppendViscii(buffer, text);
  return buffer;
}

TEST(CommandBuffer, AppendsExactlyWhatItIsGiven) {
  CommandBuffer buffer;
  AppendByte(buffer, 0x1B);
  const std::uint8_t init[] = {0x40, 0x00, 0xFF};
  AppendBytes(buffer, init, 3);
  AppendCString(buffer, "@cnt");
  AppendCString(buffer, "");
  EXPECT_EQ(buffer, (CommandBuffer{0x1B, 0x40, 0x00, 0xFF, 0x40, 0x63, 0x6E, 0x74}));
}

TEST(Viscii, VietnameseTicketTexts) {
  EXPECT_EQ(VisciiOf(u"STT Của Bạn Là"), HexBytes("53 54 54 20 43 FC 61 20 42 D5 6E 20 4C E0"));
  EXPECT_EQ(VisciiOf(u"In ngày: "), HexBytes("49 6E 20 6E 67 E0 79 3A 20"));
  EXPECT_EQ(VisciiOf(u"Vui Lòng Chờ Tới Lượt"),
            HexBytes("56 75 69 20 4C F2 6E 67 20 43 68 B6 20 54 BE 69 20 4C DF FE 74"));
}

TEST(Viscii, LineBreaksAndControlCharacters) {
  EXPECT_EQ(VisciiOf(u"A\r\nB"), HexBytes("41 0A 42"));
  EXPECT_EQ(VisciiOf(u"\r"), CommandBuffer{});
  EXPECT_EQ(VisciiOf(u"\n\n"), HexBytes("0A 0A"));
  EXPECT_EQ(VisciiOf(u""), CommandBuffer{});
  // Units below 0x80 pass through, even those VISCII prints as letters.
  EXPECT_EQ(VisciiOf(u"\x02\x1e\x7f"), HexBytes("02 1E 7F"));
}

TEST(Viscii, SingleLettersAndUnmappedUnits) {
  struct Case {
    char16_t unit;
    std::uint8_t byte;
  };
  const Case cases[] = {
      {0x0102, 0xC5}, {0x01AF, 0xBF}, {0x1EF4, 0x1E}, {0x1EB2, 0x02}, {0x1EB4, 0x05},
      {0x1EAA, 0x06}, {0x1EF6, 0x14}, {0x1EF8, 0x19}, {0x1EA0, 0x80}, {0x00D5, 0xA0},
      {0x01A0, 0xB4}, {0x00C0, 0xC0}, {0x0110, 0xD0}, {0x00E0, 0xE0}, {0x0111, 0xF0},
      {0x1EEE, 0xFF}, {0x20AC, 0x3F}, {0x00A0, 0x3F}, {0x0080, 0x3F}, {0xFFFF, 0x3F},
      {0x00C3, 0xC3}, {0x00FD, 0xFD}, {0x0300, 0x3F}, {0x4E2D, 0x3F},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VisciiOf(std::u16string(1, c.unit)), CommandBuffer{c.byte})
        << std::hex << "U+" << static_cast<unsigned>(c.unit);
  }
}

TEST(Viscii, EachCodeUnitIsEncodedOnItsOwn) {
  // A surrogate pair (an emoji) gives two question marks.
  EXPECT_EQ(VisciiOf(u"\U0001F600"), HexBytes("3F 3F"));
  // A base letter with a combining accent: the letter, then '?'.
  EXPECT_EQ(VisciiOf(u"a\u0300"), HexBytes("61 3F"));
  EXPECT_EQ(VisciiOf(u"\u00e0"), HexBytes("E0"));  // the precomposed form maps
}

TEST(SplitFeed, TriplesAddUpToTheTotal) {
  struct Case {
    char letter;
    unsigned total;
    const char* expected;
  };
  const Case cases[] = {
      {'J', 48, "1B 4A 30"},
      {'J', 16, "1B 4A 10"},
      {'J', 255, "1B 4A FF"},
      {'J', 256, "1B 4A FF 1B 4A 01"},
      {'j', 696, "1B 6A FF 1B 6A FF 1B 6A BA"},
      {'j', 510, "1B 6A FF 1B 6A FF"},
      {'J', 0, "1B 4A 00"},
  };
  for (const auto& c : cases) {
    CommandBuffer buffer;
    AppendSplitFeed(buffer, c.letter, c.total);
    EXPECT_EQ(buffer, HexBytes(c.expected)) << c.letter << ' ' << c.total;
  }
}

TEST(AsciiNarrow, KeepsAsciiAndReplacesEverythingElse) {
  EXPECT_EQ(ToAsciiNarrow(u"Cà phê"), "C? ph?");
  EXPECT_EQ(ToAsciiNarrow(u"192.168.1.222"), "192.168.1.222");
  EXPECT_EQ(ToAsciiNarrow(u""), "");
  EXPECT_EQ(ToAsciiNarrow(std::u16string(u"a\0b", 3)), "a?b");
  EXPECT_EQ(ToAsciiNarrow(u"\x7f\x80"), "\x7f?");
  EXPECT_EQ(ToAsciiNarrow(u"\U0001F600"), "??");
}

TEST(Utf8, EncodesWholeTextsAndReplacesLoneSurrogates) {
  EXPECT_EQ(ToUtf8(u""), "");
  EXPECT_EQ(ToUtf8(u"https://a.vn/?q=1"), "https://a.vn/?q=1");
  EXPECT_EQ(ToUtf8(u"Bạn"), "B\xE1\xBA\xA1n");
  EXPECT_EQ(ToUtf8(u"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD83D})), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string{char16_t{0xDE00}, u'a'}),
            "\xEF\xBF\xBD"
            "a");
}

TEST(Utf8, DecodesAndReplacesMalformedInput) {
  for (const std::u16string& text :
       {std::u16string(u"Máy in bill/tem"), std::u16string(u"\U0001F600x"),
        std::u16string(u"Đang tìm máy in USB...")}) {
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  }
  EXPECT_EQ(FromUtf8("\xFF"
                     "a"),
            u"\uFFFD"
            "a");
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");  // no such lead byte
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"
                     "b"),
            u"\uFFFD"
            "b");  // encoded surrogate
  EXPECT_EQ(WidenAscii("10.0.0.1"), u"10.0.0.1");
}

TEST(Keywords, FoldOnlyLettersAToZ) {
  static constexpr std::u16string_view kWords[] = {u"wi-fi", u"wlan", u"hp "};
  EXPECT_TRUE(ContainsAnyKeyword(u"Intel(R) WLAN adapter", kWords));
  EXPECT_TRUE(ContainsAnyKeyword(u"Wi-Fi", kWords));
  EXPECT_TRUE(ContainsAnyKeyword(u"HP LaserJet", kWords));
  EXPECT_FALSE(ContainsAnyKeyword(u"HP", kWords));  // the blank matters
  EXPECT_FALSE(ContainsAnyKeyword(u"Ethernet", kWords));
  // Accented capitals are not folded: "Đ" does not match "đ".
  static constexpr std::u16string_view kAccented[] = {u"đ"};
  EXPECT_FALSE(ContainsAnyKeyword(u"Đ", kAccented));
  EXPECT_EQ(AsciiLower(u"ÀBC-Đ"), u"Àbc-Đ");
}

TEST(Vocabulary, CodePagePrefixIsCancelDoubleByteThenTable27ThenTheProprietaryPart) {
  EXPECT_EQ(CommandBuffer(kCodePagePrefix.begin(), kCodePagePrefix.end()),
            HexBytes("1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00"));
  EXPECT_EQ(CommandBuffer(kDeleteAllNvGraphics.begin(), kDeleteAllNvGraphics.end()),
            HexBytes("1D 28 4C 05 00 30 41 43 4C 52"));
  EXPECT_EQ(CommandBuffer(kDeleteNvGraphicsKey2020.begin(), kDeleteNvGraphicsKey2020.end()),
            HexBytes("1D 28 4C 04 00 30 42 20 20"));
  EXPECT_EQ(CommandBuffer(kQrPrint.begin(), kQrPrint.end()), HexBytes("1D 28 6B 03 00 31 51 30"));
}

// The expectations of every test are written through bytes(): a typo in one
// must fail its test, not quietly become some other byte.
TEST(HexHelper, TakesTwoDigitBytesAndRefusesEverythingElse) {
  EXPECT_EQ(HexBytes(" 1b 40\n0A "), (std::vector<std::uint8_t>{0x1B, 0x40, 0x0A}));
  EXPECT_TRUE(HexBytes("").empty());
  for (const char* typo : {"1B 4O", "zz", "123", "1B 4", "0x1B", "1B,40"}) {
    EXPECT_THROW(HexBytes(typo), std::invalid_argument) << typo;
  }
}

}  // namespace
}  // namespace korvante
