#include "app/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/layout_checks.h"

namespace korvante {
namespace {

// Client sizes of the two window sizes under the overlapped-window frame
// measured under Wine: 4-pixel sizing frame on the left, right and bottom,
// 19-pixel caption plus the frame on top.
constexpr int kLargeClientW = 900 - 8, kLargeClientH = 830 - 27;  // 892 x 803
constexpr int kSmallClientW = 800 - 8, kSmallClientH = 600 - 27;  // 792 x 573

LayoutInput Input(int W, int H, int contentScroll = 0, bool contentShown = false) {
  LayoutInput in;
  in.clientWidth = W;
  in.clientHeight = H;
  in.scrollOffset = contentScroll;
  in.contentShown = contentShown;
  return in;
}

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
  const WindowLayout layout = ComputeLayout(Input(kLargeClientW, kLargeClientH));
  const Expected cases[] = {
      {Slot::kTitle, {42, 42, 300, 34}},
      {Slot::kBrand, {622, 34, 230, 49}},
      // The version as wide as its text (92) and 8 more; the footer takes
      // the rest of the row, left of it.
      {Slot::kVersion, {762, 774, 100, 20}},
      {Slot::kFooter, {28, 774, 722, 20}},
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
  for (const PageScroll& page : layout.pages) EXPECT_FALSE(page.Scrolls());
}

TEST(Layout, SmallestWindowScrolledToTheBottomShowsTheQrRow) {
  // SB_BOTTOM asks for 359; the layout clamps to 360 - V.
  const WindowLayout layout = ComputeLayout(Input(kSmallClientW, kSmallClientH, 359, true));
  EXPECT_EQ(layout.contentVisibleHeight, 149);
  EXPECT_EQ(layout.scrollOffset, 211);
  EXPECT_EQ(layout.editorWidth, 157);
  const Expected cases[] = {
      {Slot::kBrand, {522, 34, 230, 49}},
      {Slot::kVersion, {662, 544, 100, 20}},
      {Slot::kFooter, {28, 544, 622, 20}},
      {Slot::kPrinterList, {270, 143, 362, 220}},
      {Slot::kFindButton, {644, 142, 100, 36}},
      {Slot::kQueuePage, {246, 236, 500, 259}},
      {Slot::kSaveIpButton, {332, 205, 140, 38}},
      // The WiFi page scrolls (330 pixels in 259): its bar takes 17, and its
      // save button sits below the mode row.
      {Slot::kWifiNameField, {158, 30, 293, 30}},
      {Slot::kSaveWifiButton, {315, 276, 140, 38}},
      // The technical page is too narrow for the beeper's row: its buttons
      // go under the count, the density's row 44 lower.
      {Slot::kTestButton, {190, 78, 82, 36}},
      {Slot::kSaveBeepButton, {286, 78, 132, 36}},
      {Slot::kSaveDensityButton, {252, 138, 132, 36}},
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
  EXPECT_EQ(layout.pages[1].contentHeight, 330);
  EXPECT_FALSE(layout.pages[0].Scrolls());
  EXPECT_FALSE(layout.pages[2].Scrolls());
  EXPECT_FALSE(layout.pages[3].Scrolls());
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
      {573, 1000, 149, 211},
      {573, 100, 149, 100},
      {573, -48, 149, 0},
      // The panel never gets shorter than its heading and two lines (140),
      // and a client lower than the layout's minimum is laid out at 460.
      {560, 400, 140, 220},
      {300, 400, 140, 220},
  };
  for (const Case& c : cases) {
    const WindowLayout layout = ComputeLayout(Input(792, c.clientHeight, c.offset, true));
    EXPECT_EQ(layout.contentVisibleHeight, c.visible) << c.clientHeight;
    EXPECT_EQ(layout.scrollOffset, c.clamped) << c.clientHeight << " " << c.offset;
    EXPECT_EQ(layout[LineSlot(0, LinePart::kEditor)].y, 34 - c.clamped);
  }
}

// The editors take what the format column leaves of the content panel's
// client width, which its scroll bar and the queue page's narrow.
TEST(Layout, EditorsFollowTheContentPanelsClientWidth) {
  struct Case {
    int W, H;
    bool queueScrolls;
    int panelClientWidth, editorWidth;
  };
  const Case cases[] = {
      {892, 803, false, 576, 274},  // no scroll bar anywhere
      {892, 783, false, 559, 257},  // the content's bar
      {792, 573, false, 459, 157}, {760, 573, false, 427, 125},
      {760, 460, true, 410, 108},  // the queue page's bar too
      {700, 300, true, 410, 108},  // laid out at the minimum
  };
  for (const Case& c : cases) {
    const WindowLayout layout = ComputeLayout(Input(c.W, c.H, 0, true));
    EXPECT_EQ(layout.pages[2].Scrolls(), c.queueScrolls) << c.W << "x" << c.H;
    EXPECT_EQ(layout.panelClientWidth, c.panelClientWidth) << c.W << "x" << c.H;
    EXPECT_EQ(layout.editorWidth, c.editorWidth) << c.W << "x" << c.H;
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
    LayoutInput in = Input(892, 803);
    in.metrics = metrics;
    const WindowLayout layout = ComputeLayout(in);
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

// Every view of one layout: each page, the ticket content shown and hidden,
// each page scrolled to its top and to its bottom.
void ExpectSound(int W, int H) {
  const ControlMetrics metrics;
  for (bool contentShown : {false, true}) {
    for (int offset : {0, 10000}) {
      LayoutInput in = Input(W, H, offset, contentShown);
      in.pageScroll = {offset, offset, offset, offset};
      const WindowLayout layout = ComputeLayout(in);
      for (int page = 0; page < kPageCount; ++page) {
        const LayoutView view{page, contentShown};
        const auto overlapping = OverlappingSiblings(layout, metrics, view);
        const auto unreachable = UnreachableControls(layout, in, view);
        ASSERT_TRUE(overlapping.empty() && unreachable.empty())
            << W << "x" << H << " page " << page << " content " << contentShown << " offset "
            << offset << ": first slot "
            << static_cast<int>(overlapping.empty() ? unreachable[0] : overlapping[0].a);
      }
      // The page buttons stay on their card, the footer sentence on one
      // line beside the version.
      const Backdrop b =
          ComputeBackdrop(std::max(W, kMinClientWidth), std::max(H, kMinClientHeight));
      ASSERT_LE(layout[Slot::kTechnicalPageButton].Bottom(), b.navigationCard.bottom)
          << W << "x" << H;
      ASSERT_GE(layout[Slot::kFooter].width, metrics.footerText) << W << "x" << H;
      ASSERT_GE(layout[Slot::kVersion].width, metrics.versionText) << W << "x" << H;
      ASSERT_LE(layout[Slot::kFooter].Bottom(), std::max(H, kMinClientHeight));
    }
  }
}

// At every client size from the minimum up: every width at a few heights
// (the minimum, a 582-pixel work area under Windows 10's frame, 800 x 600
// under Wine's), and every height at a few widths (the minimum, 800 wide
// under Wine's frame, a 1366-pixel screen).
TEST(LayoutRules, NoOverlapAndEveryControlWithinReachAtEverySize) {
  for (int H : {kMinClientHeight, 543, 573}) {
    for (int W = kMinClientWidth; W <= 1400; ++W) ExpectSound(W, H);
  }
  for (int W : {kMinClientWidth, 792, 1366}) {
    for (int H = kMinClientHeight; H <= 1100; ++H) ExpectSound(W, H);
  }
  // Below the minimum, the minimum's layout.
  ExpectSound(640, 400);
}

// The checks find what they are there to find.
TEST(LayoutRules, ChecksCatchAnOverlapAndAControlOutOfReach) {
  const LayoutInput in = Input(kSmallClientW, kSmallClientH, 0, true);
  WindowLayout layout = ComputeLayout(in);
  // The save button on the mode row, as it was at 800 x 600.
  layout.rects[static_cast<std::size_t>(Slot::kSaveWifiButton)].y = 205;
  EXPECT_EQ(OverlappingSiblings(layout, in.metrics, {1, false}),
            (std::vector<SlotPair>{{Slot::kWifiGatewayField, Slot::kSaveWifiButton},
                                   {Slot::kWifiModeList, Slot::kSaveWifiButton}}));
  EXPECT_TRUE(OverlappingSiblings(layout, in.metrics, {0, false}).empty()) << "another page";
  // A closed list does not cover what its dropped list would.
  EXPECT_TRUE(OverlappingSiblings(ComputeLayout(in), in.metrics, {1, false}).empty());

  layout = ComputeLayout(in);
  layout.rects[static_cast<std::size_t>(Slot::kSaveBeepButton)].x = 436;  // past the page's edge
  layout.rects[static_cast<std::size_t>(Slot::kQrField)].y += 30;         // below the content
  layout.rects[static_cast<std::size_t>(Slot::kVersion)].y += 30;         // below the window
  EXPECT_EQ(UnreachableControls(layout, in, {3, true}),
            (std::vector<Slot>{Slot::kVersion, Slot::kSaveBeepButton}));
  EXPECT_EQ(UnreachableControls(layout, in, {2, true}),
            (std::vector<Slot>{Slot::kVersion, Slot::kQrField}));
  EXPECT_EQ(UnreachableControls(layout, in, {2, false}), (std::vector<Slot>{Slot::kVersion}));
}

TEST(LayoutRules, MinimumHeightNeverExceedsTheWorkArea) {
  const std::pair<int, int> cases[] = {{1040, 600}, {600, 600}, {599, 599}, {582, 582},
                                       {500, 500},  {0, 600},   {-20, 600}};
  for (const auto& [work, minimum] : cases) EXPECT_EQ(MinimumWindowHeight(work), minimum) << work;
  // A window as high as a 582-pixel work area, put 26 pixels down by the
  // system, goes up to the work area's top; one that fits stays.
  struct Top {
    int top, height, workTop, workBottom, placed;
  };
  const Top tops[] = {{26, 582, 0, 582, 0}, {26, 500, 0, 582, 26},     {60, 830, 40, 870, 40},
                      {0, 700, 0, 600, 0},  {300, 600, 100, 700, 100}, {26, 582, 0, 0, 26}};
  for (const Top& t : tops) {
    EXPECT_EQ(TopOnWorkArea(t.top, t.height, t.workTop, t.workBottom), t.placed) << t.top;
  }
}

TEST(SizeLists, CounterPreviewHeights) {
  const int expected[] = {14, 14, 17, 21, 26, 34};
  for (int level = 1; level <= 6; ++level) {
    EXPECT_EQ(CounterPreviewHeight(level), expected[level - 1]) << level;
  }
  EXPECT_EQ(CounterPreviewHeight(9), 34);
  EXPECT_EQ(CounterPreviewHeight(0), 14);
}

}  // namespace
}  // namespace korvante
