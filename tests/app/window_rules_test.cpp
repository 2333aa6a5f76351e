#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/button_looks.h"
#include "app/colours.h"
#include "app/control_colours.h"
#include "app/control_ids.h"
#include "app/scroll_steps.h"
#include "app/tab_ring.h"
#include "app/window_texts.h"

namespace korvante {
namespace {

std::vector<std::size_t> SortedOrder(std::vector<TabStop> stops) {
  SortTabRing(stops);
  std::vector<std::size_t> order;
  for (const TabStop& s : stops) order.push_back(s.order);
  return order;
}

TEST(TabRing, ReadingOrderByRowsOfEightPixels) {
  // The first row of the window: radios at top 149, the list at 144 and the
  // find button at 142 are one row, ordered left to right, whatever their
  // discovery order.
  EXPECT_EQ(SortedOrder({{744, 142, 0}, {270, 144, 1}, {126, 149, 2}, {52, 149, 3}}),
            (std::vector<std::size_t>{3, 2, 1, 0}));
  // 8 pixels apart is still one row; 9 pixels apart is two.
  EXPECT_EQ(SortedOrder({{500, 100, 0}, {10, 108, 1}}), (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(SortedOrder({{500, 100, 0}, {10, 109, 1}}), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(SortedOrder({{10, 109, 0}, {500, 100, 1}}), (std::vector<std::size_t>{1, 0}));
  // Same place: discovery order decides.
  EXPECT_EQ(SortedOrder({{10, 10, 1}, {10, 10, 0}}), (std::vector<std::size_t>{0, 1}));
  // Rows below come after, however far left.
  EXPECT_EQ(SortedOrder({{300, 40, 0}, {0, 300, 1}, {150, 45, 2}}),
            (std::vector<std::size_t>{2, 0, 1}));
}

TEST(TabRing, NextEntryWrapsAtBothEnds) {
  struct Case {
    std::optional<std::size_t> current;
    bool backwards;
    std::size_t next;
  };
  const Case cases[] = {
      {0, false, 1}, {3, false, 4}, {4, false, 0}, {std::nullopt, false, 0},
      {4, true, 3},  {1, true, 0},  {0, true, 4},  {std::nullopt, true, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextTabIndex(c.current, 5, c.backwards), c.next)
        << c.current.value_or(99) << " " << c.backwards;
  }
}

TEST(ScrollSteps, ScrollBarRequests) {
  const ScrollBarState bar{149, 77, 359};
  struct Case {
    int request;  // SB_ code
    int offset;
    int result;
  };
  const Case cases[] = {
      {0, 100, 76},   // SB_LINEUP
      {1, 100, 124},  // SB_LINEDOWN
      {2, 100, -49},  // SB_PAGEUP: the layout clamps afterwards
      {3, 100, 249},  // SB_PAGEDOWN
      {4, 100, 77},   // SB_THUMBPOSITION
      {5, 100, 77},   // SB_THUMBTRACK
      {6, 100, 0},    // SB_TOP
      {7, 100, 359},  // SB_BOTTOM
      {8, 100, 100},  // SB_ENDSCROLL
      {42, 100, 100},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScrollStep(c.offset, c.request, bar), c.result) << c.request;
}

TEST(ScrollSteps, WheelScrollsWholeNotchesOnly) {
  struct Case {
    int delta;
    int result;
  };
  const Case cases[] = {{120, 52}, {-120, 148}, {60, 100},  {-60, 100}, {-240, 196},
                        {239, 52}, {-359, 196}, {360, -44}, {0, 100}};
  for (const Case& c : cases) EXPECT_EQ(WheelStep(100, c.delta), c.result) << c.delta;
}

TEST(CommandDispatch, CommandsAndTheirNotifications) {
  struct Case {
    int command;
    int notification;
    CommandAction action;
    int argument;
    int sub;
  };
  const Case cases[] = {
      {101, 0, CommandAction::kRefresh, 0, 0},
      {101, 5, CommandAction::kRefresh, 0, 0},  // a double click refreshes again
      {201, 0, CommandAction::kSaveLan, 0, 0},
      {202, 0, CommandAction::kSaveWifi, 0, 0},
      {203, 0, CommandAction::kSaveQueue, 0, 0},
      {204, 0, CommandAction::kTestBeep, 0, 0},
      {205, 0, CommandAction::kSaveBeep, 0, 0},
      {206, 0, CommandAction::kSaveDensity, 0, 0},
      {207, 5, CommandAction::kToggleContent, 0, 0},
      {301, 0, CommandAction::kShowPage, 0, 0},
      {304, 0, CommandAction::kShowPage, 3, 0},
      {800, 0, CommandAction::kLineStyle, 0, 0},
      {812, 0, CommandAction::kLineStyle, 1, 2},
      {833, 0, CommandAction::kLineStyle, 3, 3},
      {839, 0, CommandAction::kLineStyle, 3, 9},
      {800, 5, CommandAction::kNone, 0, 0},  // BN_DOUBLECLICKED on a toggle
      {850, 1, CommandAction::kCounterSize, 0, 0},
      {850, 0, CommandAction::kNone, 0, 0},
      {701, 0, CommandAction::kOther, 0, 0},  // radios go by handle
      {0, 0, CommandAction::kOther, 0, 0},
      {840, 0, CommandAction::kOther, 0, 0},
      {300, 0, CommandAction::kOther, 0, 0},
      {305, 0, CommandAction::kOther, 0, 0},
      {208, 0, CommandAction::kPrintInfo, 0, 0},
      {209, 0, CommandAction::kOther, 0, 0},
  };
  for (const Case& c : cases) {
    const CommandDecision d = ClassifyCommand(c.command, c.notification);
    EXPECT_EQ(d.action, c.action) << c.command << "/" << c.notification;
    EXPECT_EQ(d.argument, c.argument) << c.command;
    EXPECT_EQ(d.sub, c.sub) << c.command;
  }
}

TEST(ButtonLooks, SevenLooksAndTheDisabledLook) {
  struct Rgb {
    int r, g, b;
  };
  auto rgb = [](Colour c) { return Rgb{RedOf(c), GreenOf(c), BlueOf(c)}; };
  struct Case {
    ButtonState state;
    Rgb fill, border, text;
    int corner;
    bool left;
  };
  const Rgb primary{0, 91, 170}, white{255, 255, 255}, heading{7, 58, 117};
  const Case cases[] = {
      {{ButtonKind::kPage, true}, primary, primary, white, 12, true},
      {{ButtonKind::kPage, false}, white, {220, 230, 240}, heading, 12, true},
      {{ButtonKind::kAction, false, false, true}, {0, 74, 148}, {0, 74, 148}, white, 12, false},
      {{ButtonKind::kAction}, primary, primary, white, 12, false},
      {{ButtonKind::kStyleToggle, false, true}, primary, primary, white, 6, false},
      {{ButtonKind::kStyleToggle}, {248, 251, 255}, {216, 225, 236}, heading, 6, false},
      {{ButtonKind::kWidth}, white, {216, 225, 236}, heading, 12, false},
      {{ButtonKind::kAction, false, false, true, true},
       {235, 239, 244},
       {218, 225, 233},
       {150, 160, 170},
       12,
       false},
      {{ButtonKind::kPage, true, false, false, true},
       {235, 239, 244},
       {218, 225, 233},
       {150, 160, 170},
       12,
       true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const ButtonLook look = ChooseButtonLook(c.state, WindowPalette());
    const Rgb f = rgb(look.fill), b = rgb(look.border), t = rgb(look.text);
    EXPECT_TRUE(f.r == c.fill.r && f.g == c.fill.g && f.b == c.fill.b) << "fill, case " << i;
    EXPECT_TRUE(b.r == c.border.r && b.g == c.border.g && b.b == c.border.b) << "border, " << i;
    EXPECT_TRUE(t.r == c.text.r && t.g == c.text.g && t.b == c.text.b) << "text, case " << i;
    EXPECT_EQ(look.corner, c.corner) << i;
    EXPECT_EQ(look.leftAligned, c.left) << i;
  }
}

TEST(ButtonLooks, KindsByControlId) {
  EXPECT_EQ(ButtonKindOfId(101), ButtonKind::kAction);
  EXPECT_EQ(ButtonKindOfId(201), ButtonKind::kAction);
  EXPECT_EQ(ButtonKindOfId(207), ButtonKind::kAction);
  EXPECT_EQ(ButtonKindOfId(301), ButtonKind::kPage);
  EXPECT_EQ(ButtonKindOfId(304), ButtonKind::kPage);
  EXPECT_EQ(ButtonKindOfId(820), ButtonKind::kStyleToggle);
  EXPECT_EQ(ButtonKindOfId(832), ButtonKind::kStyleToggle);
  EXPECT_EQ(ButtonKindOfId(803), ButtonKind::kWidth);
  EXPECT_EQ(ButtonKindOfId(833), ButtonKind::kWidth);
}

// In high contrast every text stands on the background the system pairs it
// with, and every colour is one the user chose: seven distinct fake system
// colours tell any slot taken from the wrong one.
TEST(Palette, HighContrastKeepsTheSystemsPairs) {
  const SystemColours sys{MakeColour(1, 0, 0), MakeColour(2, 0, 0), MakeColour(3, 0, 0),
                          MakeColour(4, 0, 0), MakeColour(5, 0, 0), MakeColour(6, 0, 0),
                          MakeColour(7, 0, 0)};
  const Palette p = ChoosePalette(true, sys);
  using Pair = std::pair<Colour, Colour>;  // text, background
  const std::vector<Pair> allowed = {{sys.windowText, sys.window},
                                     {sys.buttonText, sys.buttonFace},
                                     {sys.highlightText, sys.highlight},
                                     {sys.grayText, sys.buttonFace}};
  std::vector<Pair> drawn = {{p.headingText, p.card},
                             {p.bodyText, p.card},
                             {p.panelLabelText, p.card},
                             {p.headingText, p.background},
                             {p.footerText, p.background},
                             {p.previewText, p.previewBackground},
                             {p.listSelectedText, p.listSelectedFill}};
  for (ButtonKind kind :
       {ButtonKind::kPage, ButtonKind::kAction, ButtonKind::kStyleToggle, ButtonKind::kWidth}) {
    for (int bits = 0; bits < 16; ++bits) {
      const ButtonState state{kind, (bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0,
                              (bits & 8) != 0};
      const ButtonLook look = ChooseButtonLook(state, p);
      drawn.push_back({look.text, look.fill});
      // A border stands out from the card it is drawn on.
      EXPECT_NE(look.border, p.card) << static_cast<int>(kind) << " " << bits;
    }
  }
  for (const Pair& pair : drawn) {
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), pair), allowed.end())
        << "text " << RedOf(pair.first) << " on " << RedOf(pair.second);
  }
  EXPECT_NE(p.cardBorder, p.card);
  EXPECT_NE(p.footerRule, p.background);
}

TEST(Palette, WithoutHighContrastTheWindowsOwnColours) {
  const SystemColours sys{1, 2, 3, 4, 5, 6, 7};
  const Palette p = ChoosePalette(false, sys);
  EXPECT_EQ(p, WindowPalette());
  EXPECT_EQ(p.background, MakeColour(246, 249, 252));
  EXPECT_EQ(p.card, MakeColour(255, 255, 255));
  EXPECT_EQ(p.footerText, MakeColour(230, 0, 0));
  EXPECT_EQ(p.previewBackground, MakeColour(232, 244, 255));
  EXPECT_EQ(p.previewText, MakeColour(0, 91, 170));
  EXPECT_EQ(p.panelLabelText, MakeColour(74, 94, 120));
}

// Whatever control asks, of the main window or of a panel, in high contrast
// its text stands on the system colour paired with it.
TEST(ControlColours, HighContrastTextsStandOnTheirSystemPairs) {
  const SystemColours sys{MakeColour(1, 0, 0), MakeColour(2, 0, 0), MakeColour(3, 0, 0),
                          MakeColour(4, 0, 0), MakeColour(5, 0, 0), MakeColour(6, 0, 0),
                          MakeColour(7, 0, 0)};
  const Palette p = HighContrastPalette(sys);
  std::vector<std::optional<Slot>> askers = {std::nullopt};
  for (std::size_t i = 0; i < kSlotCount; ++i) askers.push_back(static_cast<Slot>(i));
  for (const std::optional<Slot>& control : askers) {
    for (ColourRequest request :
         {ColourRequest::kEdit, ColourRequest::kButton, ColourRequest::kStatic}) {
      for (bool onPanel : {false, true}) {
        const ControlColours c = ChooseControlColours(request, control, onPanel, p);
        EXPECT_EQ(c.text, sys.windowText);
        EXPECT_EQ(SurfaceColour(p, c.surface), sys.window);
      }
    }
  }
}

// The main window's labels and radios take the surface they lie on: the
// white of the card they are inside, or the background outside every card.
TEST(ControlColours, MainWindowLabelsTakeTheCardTheyLieOn) {
  const Palette p = WindowPalette();
  for (const auto& [W, H] : {std::pair{892, 803}, std::pair{792, 573}}) {
    LayoutInput in;
    in.clientWidth = W;
    in.clientHeight = H;
    const WindowLayout layout = ComputeLayout(in);
    const Backdrop b = ComputeBackdrop(W, H);
    auto onCard = [&](const Rect& r) {
      for (const Corners& c : {b.connectionCard, b.navigationCard, b.contentCard}) {
        if (r.x >= c.left && r.y >= c.top && r.Right() <= c.right && r.Bottom() <= c.bottom) {
          return true;
        }
      }
      return false;
    };
    for (Slot s :
         {Slot::kTitle, Slot::kBrand, Slot::kVersion, Slot::kFooter, Slot::kConnectionHeader,
          Slot::kUsbRadio, Slot::kLanRadio, Slot::kPrinterLabel}) {
      const ControlColours c = ChooseControlColours(ColourRequest::kStatic, s, false, p);
      EXPECT_EQ(c.surface, onCard(layout[s]) ? Surface::kCard : Surface::kBackground)
          << static_cast<int>(s) << " at " << W << "x" << H;
      EXPECT_NE(c.text, SurfaceColour(p, c.surface));
    }
  }
}

TEST(ToggleAccessibleState, PressedFocusedAndUnavailable) {
  struct Case {
    bool pressed, focused, enabled;
    std::uint32_t state;  // the platform's STATE_SYSTEM_ bits, written out
  };
  const Case cases[] = {
      {false, false, true, 0x100000}, {true, false, true, 0x100008}, {true, true, true, 0x10000C},
      {false, true, true, 0x100004},  {true, false, false, 0x9},     {false, true, false, 0x1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToggleAccessibleState(c.pressed, c.focused, c.enabled), c.state)
        << c.pressed << c.focused << c.enabled;
  }
}

TEST(WindowTexts, PrinterListItems) {
  NetworkPrinter withMac;
  withMac.ip = "192.168.1.25";
  withMac.mac = "00-1A-2B-3C-4D-5E";
  NetworkPrinter withoutMac;
  withoutMac.ip = "10.0.0.7";
  EXPECT_EQ(NetworkPrinterItem(withMac), u"192.168.1.25    Máy in bill/tem (00-1A-2B-3C-4D-5E)");
  EXPECT_EQ(NetworkPrinterItem(withoutMac), u"10.0.0.7    Máy in bill/tem");

  UsbPrinter onPort{u"Korvante K80", u"USB001", u"", u""};
  UsbPrinter noPort{u"Serial bridge", u"", u"\\\\?\\usb#x", u""};
  EXPECT_EQ(UsbPrinterItem(onPort), u"USB001 - Korvante K80");
  EXPECT_EQ(UsbPrinterItem(noPort), u"USB - Serial bridge");

  EXPECT_EQ(SearchingItem(0), u"Đang tìm máy in USB...");
  EXPECT_EQ(SearchingItem(1), u"Đang tìm máy in LAN / Wi-Fi...");
  EXPECT_EQ(NothingFoundItem(0), u"Không tìm thấy máy in USB");
  EXPECT_EQ(NothingFoundItem(1), u"Không tìm thấy máy in LAN / Wi-Fi");
}

TEST(AddressChecks, Messages) {
  const std::pair<AddressField, std::u16string_view> cases[] = {
      {AddressField::LanNewIp, u"Địa chỉ không hợp lệ: IP mới"},
      {AddressField::WifiIp, u"Địa chỉ không hợp lệ: IP máy in WiFi"},
      {AddressField::Mask, u"Địa chỉ không hợp lệ: Subnet mask"},
      {AddressField::Gateway, u"Địa chỉ không hợp lệ: Gateway"},
  };
  for (const auto& [field, message] : cases) EXPECT_EQ(InvalidAddressMessage(field), message);
}

TEST(SizeLists, WidthWordsAndCaption) {
  const std::pair<int, std::u16string_view> words[] = {
      {0, u"Hẹp"}, {1, u"Hẹp"}, {2, u"Thường"}, {3, u"Rộng"}, {4, u"Rộng"},
  };
  for (const auto& [level, word] : words) EXPECT_EQ(WidthLevelWord(level), word) << level;
  EXPECT_EQ(WidthButtonCaption(3), u"Rộng  \u25BE");
  EXPECT_EQ(WidthButtonCaption(2), u"Thường  \u25BE");
}

}  // namespace
}  // namespace korvante
