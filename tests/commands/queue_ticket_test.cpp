#include <gtest/gtest.h>

#include <algorithm>

#include "commands/queue_ticket.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

constexpr CalendarDate k7December2026{2026, 12, 7};

// The page as a ticket with four empty lines, enable set, one copy.
QueueTicketInput EmptyTicket() {
  QueueTicketInput input;
  input.editorShown = true;
  input.date = k7December2026;
  return input;
}

std::size_t TransmissionSize(const QueueTicketInput& input) {
  const auto built = BuildQueueTransmission(input);
  return built ? built->size() : 0;
}

bool Contains(const CommandBuffer& haystack, const CommandBuffer& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

TEST(QueueSettings, SettingsOnlyTransmission) {
  QueueTicketInput input;
  input.copiesText = u"2";
  input.date = k7December2026;
  input.lines[0].text = u"ignored while the editor is hidden";
  input.qrLink = std::u16string(2000, u'x');
  const auto built = BuildQueueTransmission(input);
  ASSERT_TRUE(built);
  EXPECT_EQ(*built, HexBytes("1B 40"                                 // ESC @
                             " 1F 1B 1F 00 0A 00 01"                 // queue preamble
                             " 1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00"  // code-page prefix
                             " 1F 1B 1F 84 01 01 00 00 02 26 12 07 00"));
}

TEST(QueueSettings, CopiesField) {
  const std::pair<std::u16string_view, std::uint8_t> cases[] = {
      {u"0", 1}, {u"", 1}, {u"abc", 1}, {u"-3", 1}, {u"15", 9}, {u"9", 9}, {u" 4x", 4},
  };
  for (const auto& [text, copies] : cases) {
    QueueTicketInput input;
    input.copiesText = std::u16string(text);
    const auto built = BuildQueueTransmission(input);
    ASSERT_TRUE(built);
    ASSERT_EQ(built->size(), 34u);
    EXPECT_EQ((*built)[21 + 8], copies) << std::string(text.begin(), text.end());
  }
}

TEST(QueueSettings, DateInBcd) {
  struct Case {
    CalendarDate date;
    const char* tail;  // offsets 9 to 12
  };
  const Case cases[] = {
      {{2026, 12, 7}, "26 12 07 00"},
      {{2000, 1, 1}, "00 01 01 00"},
      {{1999, 12, 31}, "99 12 31 00"},
      {{2105, 150, 100}, "05 99 99 00"},
  };
  for (const auto& c : cases) {
    const CommandBuffer command = BuildQueueSettingsCommand(true, 1, c.date);
    ASSERT_EQ(command.size(), 13u);
    EXPECT_EQ(CommandBuffer(command.begin() + 9, command.end()), HexBytes(c.tail)) << c.date.year;
  }
  EXPECT_EQ(BuildQueueSettingsCommand(false, 0, {2026, 12, 7}),
            HexBytes("1F 1B 1F 84 01 00 00 00 01 26 12 07 00"));
}

TEST(QueueTicket, EnableClearedSendsSettingsAfterTheNvClear) {
  QueueTicketInput input = EmptyTicket();
  input.enable = false;
  input.lines[0].text = u"STT";
  input.qrLink = std::u16string(2000, u'x');  // not part of the transmission
  const auto built = BuildQueueTransmission(input);
  ASSERT_TRUE(built);
  EXPECT_EQ(*built, HexBytes("1B 40 1D 28 4C 05 00 30 41 43 4C 52 1D 28 4C 04 00 30 42 20 20 1B 40"
                             " 1F 1B 1F 00 0A 00 01"
                             " 1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00"
                             " 1F 1B 1F 84 01 00 00 00 01 26 12 07 00"));
}

TEST(QueueTicket, EmptyProgram) {
  const auto built = BuildQueueTransmission(EmptyTicket());
  ASSERT_TRUE(built);
  EXPECT_EQ(*built,
            HexBytes("1B 40 1D 28 4C 05 00 30 41 43 4C 52 1D 28 4C 04 00 30 42 20 20 1B 40"  // NV
                     " 1F 1B 1F 00 0A 00 01"                                                 // pre
                     " 1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00"                                  // cp
                     " 1F 1B 1F 84 01 01 00 00 01 26 12 07 00"                               // set
                     " 1F 1B 1F 84 05 01 1F 1B 1F 84 02 1B 40"        // start
                     " 1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00"           // cp
                     " 1B 4D 00 1B 45 00 1D 21 77 1B 61 01"           // counter style
                     " 40 63 6E 74 1B 4A 30 0A"                       // @cnt
                     " 1B 4D 00 1B 45 00"                             // style reset
                     " 1D 21 00 1B 21 00 1B 61 01 0A 1B 4A 10"        // no date
                     " 1B 4A FF 1D 56 00 1B 6A FF 1B 6A FF 1B 6A BA"  // feed, cut
                     " 40 65 6E 64"));                                // @end
  EXPECT_EQ(built->size(), 138u);
}

TEST(QueueTicket, SizeIncrements) {
  struct Case {
    const char* name;
    void (*edit)(QueueTicketInput&);
    std::size_t size;
  };
  const Case cases[] = {
      {"date line", [](QueueTicketInput& t) { t.printDate = true; }, 138 + 14},
      {"QR 20 bytes", [](QueueTicketInput& t) { t.qrLink = std::u16string(20, u'q'); },
       138 + 34 + 20},
      {"QR UTF-8 length", [](QueueTicketInput& t) { t.qrLink = u"đ"; }, 138 + 34 + 2},
      {"line 1", [](QueueTicketInput& t) { t.lines[0].text = u"AB"; }, 138 + 13 + 2},
      {"line 4", [](QueueTicketInput& t) { t.lines[3].text = u"AB"; }, 138 + 13 + 2},
      {"underline", [](QueueTicketInput& t) { t.lines[1] = {u"AB", 6, 2, false, false, true}; },
       138 + 13 + 2 + 6},
      {"italic", [](QueueTicketInput& t) { t.lines[2] = {u"AB", 6, 2, false, true, false}; },
       138 + 13 + 2 + 4},
      {"blank lines",
       [](QueueTicketInput& t) {
         t.lines[0].text = u"  ";
         t.lines[1].text = u"\r\n";
       },
       138},
      {"default page",
       [](QueueTicketInput& t) {
         t.lines[0].text = u"STT Của Bạn Là";
         t.lines[2].text = u"Vui Lòng Chờ Tới Lượt";
       },
       138 + 13 + 14 + 13 + 21},
  };
  for (const auto& c : cases) {
    QueueTicketInput input = EmptyTicket();
    c.edit(input);
    EXPECT_EQ(TransmissionSize(input), c.size) << c.name;
  }
}

TEST(QueueTicket, DateLineAndQrBlock) {
  QueueTicketInput input = EmptyTicket();
  input.printDate = true;
  input.qrLink = u"ab";
  const auto built = BuildQueueTransmission(input);
  ASSERT_TRUE(built);
  EXPECT_TRUE(Contains(*built, HexBytes("1B 4D 00 1B 45 00"  // style reset, then the QR code
                                        " 0A 1D 28 6B 03 00 31 43 05 1D 28 6B 03 00 31 45 31"
                                        " 1D 28 6B 05 00 31 50 30 61 62"
                                        " 1D 28 6B 03 00 31 51 30 0A"
                                        " 1D 21 00 1B 21 20 1B 61 01"  // date line head
                                        " 49 6E 20 6E 67 E0 79 3A 20"  // "In ngày: "
                                        " 40 64 61 74 65 0A 1B 4A 10"  // @date LF ESC J 16
                                        " 1B 4A FF")));
}

TEST(QueueTicket, QrStoreLength) {
  const std::pair<std::size_t, const char*> cases[] = {
      {20, "1D 28 6B 17 00 31 50 30"},
      {252, "1D 28 6B FF 00 31 50 30"},
      {253, "1D 28 6B 00 01 31 50 30"},
      {300, "1D 28 6B 2F 01 31 50 30"},
  };
  for (const auto& [k, store] : cases) {
    CommandBuffer buffer;
    ASSERT_TRUE(AppendQrCode(buffer, std::string(k, 'x')));
    ASSERT_EQ(buffer.size(), 34 + k);
    EXPECT_EQ(CommandBuffer(buffer.begin() + 17, buffer.begin() + 25), HexBytes(store)) << k;
  }
  CommandBuffer buffer;
  EXPECT_TRUE(AppendQrCode(buffer, ""));
  EXPECT_TRUE(buffer.empty());
  EXPECT_TRUE(AppendQrCode(buffer, std::string(65532, 'x')));
  EXPECT_EQ(CommandBuffer(buffer.begin() + 17, buffer.begin() + 25),
            HexBytes("1D 28 6B FF FF 31 50 30"));
  buffer.clear();
  EXPECT_FALSE(AppendQrCode(buffer, std::string(65533, 'x')));
  EXPECT_TRUE(buffer.empty());
}

TEST(QueueTicket, LinesAroundTheNumber) {
  QueueTicketInput input = EmptyTicket();
  input.lines = {TicketLine{u"1"}, TicketLine{u"2"}, TicketLine{u"3"}, TicketLine{u"4"}};
  const auto built = BuildQueueTransmission(input);
  ASSERT_TRUE(built);
  auto at = [&](const char* hex) {
    const CommandBuffer needle = HexBytes(hex);
    return std::search(built->begin(), built->end(), needle.begin(), needle.end()) - built->begin();
  };
  EXPECT_LT(at("1B 61 01 31 0A"), at("1B 61 01 32 0A"));
  EXPECT_LT(at("1B 61 01 32 0A"), at("40 63 6E 74"));
  EXPECT_LT(at("40 63 6E 74"), at("1B 61 01 33 0A"));
  EXPECT_LT(at("1B 61 01 33 0A"), at("1B 61 01 34 0A"));
  EXPECT_EQ(built->size(), 138u + 4 * 14);
}

TEST(QueueTicket, LengthLimit) {
  // 138 bytes of program around a QR code of 34 + k bytes.
  const std::size_t exactlyAtLimit = 1024 - 138 - 34;
  struct Case {
    std::size_t linkLength;
    bool accepted;
  };
  const Case cases[] = {
      {exactlyAtLimit, true}, {exactlyAtLimit + 1, false}, {900, false}, {100000, false}};
  for (const auto& c : cases) {
    QueueTicketInput input = EmptyTicket();
    input.qrLink = std::u16string(c.linkLength, u'h');
    const auto built = BuildQueueTransmission(input);
    EXPECT_EQ(built.has_value(), c.accepted) << c.linkLength;
    if (built) {
      EXPECT_EQ(built->size(), 1024u);
    }
  }
}

}  // namespace
}  // namespace korvante
