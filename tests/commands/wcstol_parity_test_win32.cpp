// The portable number reading and white-space test against the runtime the
// window's fields were read with (wchar_t is UTF-16 here).
#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "commands/number_fields.h"

namespace korvante {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

TEST(RuntimeParity, WhiteSpace) {
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    EXPECT_EQ(IsWideSpace(static_cast<char16_t>(unit)),
              std::iswspace(static_cast<wint_t>(unit)) != 0)
        << std::hex << unit;
  }
}

TEST(RuntimeParity, Wcstol) {
  std::u16string texts[] = {u"42",         u"  -7",         u"+0012z",
                            u"2147483648", u"-2147483649",  u"\u0661\u0662",
                            u"\uFF15",     u"\u0E55\u0E51", u"\u0BE7",
                            u"\u1946",     u"\u3000 9",     u"x1",
                            u"",           u"- 1",          u"99999999999999999999999"};
  for (unsigned unit = 0x30; unit <= 0xFFFF; ++unit) {
    // Each unit followed by "1": a digit reads as a two-digit number.
    texts[0] = std::u16string{static_cast<char16_t>(unit), u'1'};
    for (const auto& text : texts) {
      const std::wstring wide(text.begin(), text.end());
      const long expected = std::wcstol(wide.c_str(), nullptr, 10);
      EXPECT_EQ(ReadPositiveNumber(text, -1), expected > 0 ? expected : -1) << std::hex << unit;
    }
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace korvante
