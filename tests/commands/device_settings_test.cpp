#include <gtest/gtest.h>

#include "commands/device_settings.h"
#include "commands/number_fields.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

TEST(Buzzer, CheckBoxAndTestPrint) {
  struct Case {
    bool beep;
    bool test;
    const char* expected;
  };
  const Case cases[] = {
      {false, false, "1F 1B 1F E0 13 14 00 04 02 03"},
      {true, false, "1F 1B 1F E0 13 14 01 04 02 03"},
      {true, true, "1F 1B 1F E0 13 14 01 04 02 03 1B 40 1B 64 01"},
      {false, true, "1F 1B 1F E0 13 14 00 04 02 03 1B 40 1B 64 01"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildBuzzerCommand(c.beep, c.test), HexBytes(c.expected)) << c.beep << c.test;
  }
}

TEST(Density, FieldTextToCommand) {
  const std::pair<std::u16string_view, const char*> cases[] = {
      {u"3", "1F 1B 1F 13 14 03"},
      {u"8", "1F 1B 1F 13 14 08"},
      {u"9", "1F 1B 1F 13 14 08"},
      {u"100", "1F 1B 1F 13 14 08"},
      {u"0", "1F 1B 1F 13 14 05"},
      {u"-2", "1F 1B 1F 13 14 05"},
      {u"", "1F 1B 1F 13 14 05"},
      {u"abc", "1F 1B 1F 13 14 05"},
      {u"7x", "1F 1B 1F 13 14 07"},
      {u" \t+1", "1F 1B 1F 13 14 01"},
      {u"99999999999999999999", "1F 1B 1F 13 14 08"},
      {u"-99999999999999999999", "1F 1B 1F 13 14 05"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(BuildDensityCommand(DensityFromText(text)), HexBytes(expected))
        << std::string(text.begin(), text.end());
  }
}

TEST(ReadPositiveNumber, ReadsAsTheRuntimeDoes) {
  const std::u16string spaces30(30, u' ');
  struct Case {
    std::u16string text;
    std::int32_t value;
  };
  const Case cases[] = {
      {u"42", 42},
      {u"  +17abc", 17},
      {u"\n\v\f\r\t5", 5},
      {u"0012", 12},
      {u"- 5", -1},
      {u"+", -1},
      {u"-", -1},
      {u"0x10", -1},
      {u"1 2", 1},
      {u"2147483647", 2147483647},
      {u"2147483648", 2147483647},
      {u"-2147483649", -1},
      {u"\uFF13", 3},          // full-width digit
      {u"\u0661\u0662", 12},   // Arabic-Indic digits
      {u"\u00A0\u30007", 7},   // no-break and ideographic space
      {u"\u200B7", -1},        // a zero-width space is not white space
      {spaces30 + u"7", 7},    // the 31st unit is still read
      {spaces30 + u" 7", -1},  // the 32nd is not
      {spaces30 + u"78", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPositiveNumber(c.text, -1), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace korvante
