#include "app/layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace korvante {
namespace {

// Client sizes of the two window sizes under the overlapped-window frame
// measured under Wine: 4-pixel sizing frame on the left, right and bottom,
// 19-pixel caption plus the frame on top.
constexpr int kLargeClientW = 900 - 8, kLargeClientH = 830 - 27;  // 892 x 803
constexpr int kSmallClientW = 800 - 8, kSmallClientH = 600 - 27;  // 792 x 573
// The content panel's client width: the whole panel at 892 x 803 (no scroll
// bar needed), the panel less the 17-pixel scroll bar at 792 x 573.
constexpr int kLargePanelCW = 576;
constexpr int kSmallPanelCW = 476 - 17;

struct Expected {
  Slot slot;
  Rect rect;
};

void ExpectRects(const WindowLayout& layout, const Expected* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Rect& got = layout[cases[i].slot];
    const Rect& want = cases[i].rect;
    EXPECT_EQ(got, want) << "slot " << static_cast<int>(cases[i].slot) << ": got " << got.x << ","
                         << got.y << " " << got.width << "x" << got.height;
  }
}

TEST(Layout, LargeWindowMatchesTheTables) {
  const WindowLayout layout = ComputeLayout({kLargeClientW, kLargeClientH, 0, kLargePanelCW, {}});
  const Expected cases[] = {
      {Slot::kTitle, {42, 42, 300, 34}},
      {Slot::kBrand, {622, 34, 230, 49}},
      {Slot::kVersion, {672, 774, 190, 20}},
      {Slot::kFooter, {160, 774, 562, 20}},
      {Slot::kConnectionHeader, {50, 117, 160, 20}},
      {Slot::kUsbRadio, {52, 149, 70, 26}},
      {Slot::kLanRadio, {126, 149, 128, 26}},
      {Slot::kPrinterLabel, {270, 117, 120, 20}},
      {Slot::kPrinterList, {270, 143, 462, 220}},
      {Slot::kFindButton, {744, 142, 100, 36}},
      {Slot::kLanPageButton, {44, 238, 152, 48}},
      {Slot::kWifiPageButton, {44, 294, 152, 48}},
      {Slot::kQueuePageButton, {44, 350, 152, 48}},
      {Slot::kTechnicalPageButton, {44, 406, 152, 48}},
      {Slot::kLanPage, {246, 236, 600, 489}},
      {Slot::kWifiPage, {246, 236, 600, 489}},
      {Slot::kQueuePage, {246, 236, 600, 489}},
      {Slot::kTechnicalPage, {246, 236, 600, 489}},
      {Slot::kLanIpLabel, {28, 45, 120, 20}},
      {Slot::kLanIpField, {150, 40, 330, 30}},
      {Slot::kLanMaskLabel, {28, 85, 120, 20}},
      {Slot::kLanMaskField, {150, 80, 330, 30}},
      {Slot::kLanGatewayLabel, {28, 125, 120, 20}},
      {Slot::kLanGatewayField, {150, 120, 330, 30}},
      {Slot::kSaveIpButton, {432, 435, 140, 38}},
      {Slot::kWifiNameLabel, {28, 35, 120, 20}},
      {Slot::kWifiNameField, {158, 30, 410, 30}},
      {Slot::kWifiPasswordField, {158, 70, 410, 30}},
      {Slot::kWifiIpLabel, {28, 115, 120, 20}},
      {Slot::kWifiMaskField, {158, 150, 410, 30}},
      {Slot::kWifiGatewayLabel, {28, 195, 120, 20}},
      {Slot::kWifiGatewayField, {158, 190, 410, 30}},
      {Slot::kWifiModeLabel, {28, 235, 120, 20}},
      {Slot::kWifiModeList, {158, 230, 220, 180}},
      {Slot::kSaveWifiButton, {432, 435, 140, 38}},
      {Slot::kPrintNumberCheck, {12, 8, 92, 30}},
      {Slot::kPrintDateCheck, {110, 8, 80, 30}},
      {Slot::kCopiesLabel, {198, 14, 46, 20}},
      {Slot::kCopiesField, {248, 11, 44, 26}},
      {Slot::kContentToggle, {452, 6, 136, 34}},
      {Slot::kContentPanel, {12, 56, 576, 379}},
      {Slot::kContentHeader, {0, 2, 342, 20}},
      {Slot::kFormatLabel, {342, 2, 234, 20}},
      {LineSlot(0, LinePart::kLabel), {0, 46, 52, 20}},
      {LineSlot(0, LinePart::kEditor), {56, 34, 274, 44}},
      {LineSlot(0, LinePart::kBold), {342, 40, 28, 32}},
      {LineSlot(0, LinePart::kItalic), {374, 40, 28, 32}},
      {LineSlot(0, LinePart::kUnderline), {406, 40, 28, 32}},
      {LineSlot(0, LinePart::kSizeList), {442, 41, 48, 270}},
      {LineSlot(0, LinePart::kWidthButton), {496, 40, 80, 32}},
      {LineSlot(1, LinePart::kEditor), {56, 90, 274, 44}},
      {LineSlot(2, LinePart::kLabel), {0, 214, 52, 20}},
      {LineSlot(2, LinePart::kSizeList), {442, 209, 48, 270}},
      {LineSlot(3, LinePart::kWidthButton), {496, 264, 80, 32}},
      {Slot::kCounterLabel, {0, 158, 52, 20}},
      {Slot::kCounterPreview, {56, 146, 274, 44}},
      {Slot::kCounterSizeLabel, {342, 158, 80, 20}},
      {Slot::kCounterSizeList, {442, 153, 48, 210}},
      {Slot::kQrLabel, {0, 323, 52, 20}},
      {Slot::kQrField, {56, 320, 274, 26}},
      {Slot::kSaveQueueButton, {420, 449, 168, 36}},
      {Slot::kBeepCheck, {30, 40, 150, 26}},
      {Slot::kBeepCountLabel, {190, 41, 56, 20}},
      {Slot::kBeepCountField, {252, 36, 70, 30}},
      {Slot::kTestButton, {340, 34, 82, 36}},
      {Slot::kSaveBeepButton, {436, 34, 132, 36}},
      {Slot::kDensityLabel, {30, 101, 100, 20}},
      {Slot::kDensityField, {150, 96, 80, 30}},
      {Slot::kSaveDensityButton, {252, 94, 132, 36}},
  };
  ExpectRects(layout, cases, std::size(cases));
  EXPECT_EQ(layout.contentVisibleHeight, 379);
  EXPECT_EQ(layout.editorWidth, 274);
}

TEST(Layout, SmallestWindowScrolledToTheBottomShowsTheQrRow) {
  // SB_BOTTOM asks for 359; the layout clamps to 360 - V.
  const WindowLayout layout = ComputeLayout({kSmallClientW, kSmallClientH, 359, kSmallPanelCW, {}});
  EXPECT_EQ(layout.contentVisibleHeight, 149);
  EXPECT_EQ(layout.scrollOffset, 211);
  EXPECT_EQ(layout.editorWidth, 157);
  const Expected cases[] = {
      {Slot::kBrand, {522, 34, 230, 49}},
      {Slot::kVersion, {572, 544, 190, 20}},
      {Slot::kFooter, {160, 544, 462, 20}},
      {Slot::kPrinterList, {270, 143, 362, 220}},
      {Slot::kFindButton, {644, 142, 100, 36}},
      {Slot::kQueuePage, {246, 236, 500, 259}},
      {Slot::kSaveIpButton, {332, 205, 140, 38}},
      {Slot::kWifiNameField, {158, 30, 310, 30}},
      {Slot::kContentToggle, {352, 6, 136, 34}},
      {Slot::kContentPanel, {12, 56, 476, 149}},
      {Slot::kContentHeader, {0, -209, 225, 20}},
      {Slot::kFormatLabel, {225, -209, 234, 20}},
      {LineSlot(3, LinePart::kEditor), {56, 47, 157, 44}},
      {LineSlot(3, LinePart::kBold), {225, 53, 28, 32}},
      {LineSlot(3, LinePart::kWidthButton), {379, 53, 80, 32}},
      {Slot::kCounterPreview, {56, -65, 157, 44}},
      {Slot::kQrLabel, {0, 112, 52, 20}},
      {Slot::kQrField, {56, 109, 157, 26}},
      {Slot::kSaveQueueButton, {320, 219, 168, 36}},
  };
  ExpectRects(layout, cases, std::size(cases));
  // The QR row is the last thing in the panel and fits inside it.
  EXPECT_LE(layout[Slot::kQrField].Bottom(), layout.contentVisibleHeight);
}

TEST(Layout, ContentScrollIsClampedIntoTheVisibleRange) {
  struct Case {
    int clientHeight;
    int offset;
    int visible;
    int clamped;
  };
  const Case cases[] = {
      {803, 100, 379, 0},  // everything visible: never scrolled
      {784, 24, 360, 0},   // exactly the content height
      {783, 24, 359, 1},   // one pixel short
      {573, 1000, 149, 211}, {573, 100, 149, 100},
      {573, -48, 149, 0},    {300, 400, 48, 312},  // the panel never gets shorter than 48
  };
  for (const Case& c : cases) {
    const WindowLayout layout = ComputeLayout({792, c.clientHeight, c.offset, 459, {}});
    EXPECT_EQ(layout.contentVisibleHeight, c.visible) << c.clientHeight;
    EXPECT_EQ(layout.scrollOffset, c.clamped) << c.clientHeight << " " << c.offset;
    EXPECT_EQ(layout[LineSlot(0, LinePart::kEditor)].y, 34 - c.clamped);
  }
}

TEST(Layout, EditorsKeepAtLeastEightyPixels) {
  struct Case {
    int panelClientWidth;
    int editorWidth;
  };
  const Case cases[] = {{100, 80}, {381, 80}, {382, 80}, {383, 81}, {459, 157}, {576, 274}};
  for (const Case& c : cases) {
    const WindowLayout layout = ComputeLayout({792, 573, 0, c.panelClientWidth, {}});
    EXPECT_EQ(layout.editorWidth, c.editorWidth) << c.panelClientWidth;
    for (int line = 0; line < 4; ++line) {
      EXPECT_EQ(layout[LineSlot(line, LinePart::kEditor)].width, c.editorWidth);
    }
    EXPECT_EQ(layout[Slot::kCounterPreview].width, c.editorWidth);
    EXPECT_EQ(layout[Slot::kQrField].width, c.editorWidth);
  }
}

// Every label is one line of its font high (and room for marks) and shares its middle with the
// field beside it (the middle of a box of even height rounds up), whatever
// the fonts measure; the lists are centred on their rows the same way.
TEST(Layout, LabelsFollowTheFontAndShareTheirFieldsMiddle) {
  const std::pair<Slot, Slot> rows[] = {
      {Slot::kLanIpLabel, Slot::kLanIpField},
      {Slot::kLanGatewayLabel, Slot::kLanGatewayField},
      {Slot::kWifiNameLabel, Slot::kWifiNameField},
      {Slot::kWifiGatewayLabel, Slot::kWifiGatewayField},
      {Slot::kWifiModeLabel, Slot::kWifiModeList},
      {Slot::kCopiesLabel, Slot::kCopiesField},
      {LineSlot(1, LinePart::kLabel), LineSlot(1, LinePart::kEditor)},
      {Slot::kCounterLabel, Slot::kCounterPreview},
      {Slot::kQrLabel, Slot::kQrField},
      {Slot::kBeepCountLabel, Slot::kBeepCountField},
      {Slot::kDensityLabel, Slot::kDensityField},
  };
  auto twiceMiddle = [](const Rect& r, int height) { return 2 * r.y + height; };
  for (int textHeight : {13, 16, 17, 20, 25}) {
    ControlMetrics metrics;
    metrics.uiText = textHeight;
    metrics.titleText = 2 * textHeight;
    metrics.modeList = 26;
    metrics.sizeList = textHeight + 10;
    const WindowLayout layout = ComputeLayout({892, 803, 0, 576, metrics});
    for (const auto& [label, field] : rows) {
      const Rect& l = layout[label];
      const Rect& f = layout[field];
      const int fieldHeight = field == Slot::kWifiModeList ? metrics.modeList : f.height;
      EXPECT_EQ(l.height, textHeight + 4) << static_cast<int>(label);
      EXPECT_LE(std::abs(twiceMiddle(l, l.height) - twiceMiddle(f, fieldHeight)), 1)
          << static_cast<int>(label) << " at " << textHeight;
    }
    EXPECT_EQ(layout[Slot::kTitle].height, 2 * textHeight + 4);
    // A size list shares its middle with the line's style buttons.
    const Rect& list = layout[LineSlot(2, LinePart::kSizeList)];
    const Rect& bold = layout[LineSlot(2, LinePart::kBold)];
    EXPECT_LE(std::abs(twiceMiddle(list, metrics.sizeList) - twiceMiddle(bold, bold.height)), 1);
  }
}

TEST(Layout, CentredTextInset) {
  struct Case {
    int inner, lineHeight, lines, inset;
  };
  const Case cases[] = {{26, 16, 1, 5}, {26, 15, 1, 5},  {40, 16, 1, 12}, {40, 16, 2, 4},
                        {40, 16, 3, 0}, {40, 16, 0, 12}, {10, 16, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(CentredTextInset(c.inner, c.lineHeight, c.lines), c.inset)
        << c.inner << " " << c.lineHeight << " " << c.lines;
  }
}

TEST(Layout, CardsAndFooterRule) {
  const Backdrop b = ComputeBackdrop(892, 803);
  EXPECT_EQ(b.connectionCard, (Corners{28, 96, 864, 204}));
  EXPECT_EQ(b.navigationCard, (Corners{28, 216, 212, 745}));
  EXPECT_EQ(b.contentCard, (Corners{226, 216, 864, 745}));
  EXPECT_EQ(b.footerRuleY, 765);
}

}  // namespace
}  // namespace korvante
