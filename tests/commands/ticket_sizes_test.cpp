#include <gtest/gtest.h>

#include "commands/ticket_sizes.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

CommandBuffer Render(const TicketLine& line) {
  CommandBuffer buffer;
  RenderQueueLine(buffer, line);
  return buffer;
}

TEST(FitNativeFont, OutcomeTable) {
  struct Case {
    bool counter;
    int level;
    std::uint8_t font;
    int multiplier;
    int printedWidth;  // at width level 2
    int printedHeight;
  };
  const Case cases[] = {
      {false, 1, 1, 1, 9, 17},
      {false, 2, 1, 1, 9, 17},
      {false, 3, 0, 1, 12, 24},
      {false, 4, 1, 2, 18, 34},
      {false, 5, 1, 2, 18, 34},
      {false, 6, 0, 2, 24, 48},
      {false, 7, 1, 3, 27, 51},
      {false, 8, 1, 4, 36, 68},
      {false, 9, 1, 5, 45, 85},
      {true, 1, 1, 4, 36, 68},
      {true, 2, 0, 3, 36, 72},
      {true, 3, 0, 4, 48, 96},
      {true, 4, 0, 5, 60, 120},
      {true, 5, 0, 6, 72, 144},
      {true, 6, 0, 8, 96, 192},
      // Out of range levels are clamped: 12 is 9 for text, 9 is 6 for the counter.
      {false, 12, 1, 5, 45, 85},
      {false, 0, 1, 1, 9, 17},
      {false, -3, 1, 1, 9, 17},
      {true, 9, 0, 8, 96, 192},
      {true, 0, 1, 4, 36, 68},
  };
  for (const auto& c : cases) {
    const NativeFontFit fit = FitNativeFont(c.level, c.counter);
    SCOPED_TRACE((c.counter ? "counter " : "text ") + std::to_string(c.level));
    EXPECT_EQ(fit.font, c.font);
    EXPECT_EQ(fit.multiplier, c.multiplier);
    EXPECT_EQ(fit.cellWidth * fit.multiplier, c.printedWidth);
    EXPECT_EQ(fit.cellHeight * fit.multiplier, c.printedHeight);
  }
}

TEST(RenderQueueLine, StylesAndSizes) {
  struct Case {
    const char* name;
    TicketLine line;
    const char* expected;
  };
  const Case cases[] = {
      {"level 6 normal bold",
       {u"AB", 6, 2, true, false, false},
       "1B 4D 00 1D 21 11 1B 45 01 1B 61 01 41 42 0A"},
      {"level 9 wide", {u"A", 9, 3}, "1B 4D 01 1D 21 54 1B 45 00 1B 61 01 41 0A"},
      {"level 1 narrow", {u"A", 1, 1}, "1B 4D 01 1D 21 00 1B 45 00 1B 61 01 41 0A"},
      {"level 6 narrow", {u"A", 6, 1}, "1B 4D 00 1D 21 01 1B 45 00 1B 61 01 41 0A"},
      {"level 6 wide", {u"A", 6, 3}, "1B 4D 00 1D 21 21 1B 45 00 1B 61 01 41 0A"},
      {"level 1 wide", {u"A", 1, 3}, "1B 4D 01 1D 21 10 1B 45 00 1B 61 01 41 0A"},
      {"level 9 narrow", {u"A", 9, 1}, "1B 4D 01 1D 21 34 1B 45 00 1B 61 01 41 0A"},
      {"level 3 Font A single", {u"A", 3, 2}, "1B 4D 00 1D 21 00 1B 45 00 1B 61 01 41 0A"},
      {"underline and italic",
       {u"X", 6, 2, false, true, true},
       "1B 4D 00 1D 21 11 1B 45 00 1B 2D 01 1B 34 1B 61 01 58 0A 1B 35 1B 2D 00"},
      {"underline only",
       {u"X", 6, 2, false, false, true},
       "1B 4D 00 1D 21 11 1B 45 00 1B 2D 01 1B 61 01 58 0A 1B 2D 00"},
      {"italic only",
       {u"X", 6, 2, false, true, false},
       "1B 4D 00 1D 21 11 1B 45 00 1B 34 1B 61 01 58 0A 1B 35"},
      {"spaces kept, lines share the style",
       {u" A\r\nB ", 6, 2},
       "1B 4D 00 1D 21 11 1B 45 00 1B 61 01 20 41 0A 42 20 0A"},
      {"Vietnamese text", {u"Chờ", 6, 2}, "1B 4D 00 1D 21 11 1B 45 00 1B 61 01 43 68 B6 0A"},
      {"width level out of range", {u"A", 6, 7}, "1B 4D 00 1D 21 21 1B 45 00 1B 61 01 41 0A"},
  };
  for (const auto& c : cases) EXPECT_EQ(Render(c.line), HexBytes(c.expected)) << c.name;
}

TEST(RenderQueueLine, BlankLinesAppendNothing) {
  const std::u16string blanks[] = {u"", u"   ", u"\n\n", u"\r\n", u"\t \v\f", u"\u00A0\u3000"};
  for (const auto& text : blanks) {
    TicketLine line;
    line.text = text;
    line.bold = line.italic = line.underline = true;
    EXPECT_TRUE(Render(line).empty()) << text.size();
  }
}

TEST(CounterStyle, Levels) {
  struct Case {
    int level;
    const char* expected;
  };
  const Case cases[] = {
      {6, "1B 4D 00 1B 45 00 1D 21 77 1B 61 01"}, {1, "1B 4D 01 1B 45 00 1D 21 33 1B 61 01"},
      {2, "1B 4D 00 1B 45 00 1D 21 22 1B 61 01"}, {5, "1B 4D 00 1B 45 00 1D 21 55 1B 61 01"},
      {9, "1B 4D 00 1B 45 00 1D 21 77 1B 61 01"},
  };
  for (const auto& c : cases) {
    CommandBuffer buffer;
    AppendCounterStyle(buffer, c.level);
    EXPECT_EQ(buffer, HexBytes(c.expected)) << c.level;
  }
}

TEST(SizeLists, LevelFromSelectedItemData) {
  const std::pair<std::optional<int>, int> cases[] = {
      {std::nullopt, 6}, {1, 1}, {4, 4}, {9, 9}, {0, 1}, {-1, 1}, {12, 9},
  };
  for (const auto& [data, level] : cases) EXPECT_EQ(SizeListLevel(data), level);
}

}  // namespace
}  // namespace korvante
