// Screenshots of the window as the display shows it, saved for a person to
// look at, with checks that the painted cards, the current page button and
// the footer sit where the layout puts them; and the pictures of the guide
// for shop staff (app/guide), taken of the real window of this build.
#include "tests/app/window_fixture_win32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include <ostream>
#include <tuple>

#include "discovery/refresh.h"
#include "tests/app/screenshots_win32.h"

namespace korvante::testing {
namespace {

class ScreenshotTest : public ScreenshotWindowTest,
                       public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

TEST_P(ScreenshotTest, CardsCurrentPageButtonAndFooterWhereTheLayoutPutsThem) {
  const auto [outerW, outerH, page] = GetParam();
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, outerW, outerH, SWP_SHOWWINDOW);
  Command(301 + page, BN_CLICKED, nullptr);
  if (page == 2) Command(207, BN_CLICKED, At(Slot::kContentToggle));
  const Screenshot shot = RedrawAndCapture();
  Save(shot, "window-" + std::to_string(outerW) + "x" + std::to_string(outerH) + "-page" +
                 std::to_string(page + 1) + ".png");

  RECT client{};
  GetClientRect(hwnd_, &client);
  const int W = client.right, H = client.bottom;
  const Rgb white{255, 255, 255}, background{246, 249, 252}, primary{0, 91, 170};
  // The three cards, white on the background, and the gaps around them.
  EXPECT_EQ(shot.ClientPixel(40, 190), white) << "connection card";
  EXPECT_EQ(shot.ClientPixel(W - 40, 110), white) << "connection card, right end";
  EXPECT_EQ(shot.ClientPixel(20, 190), background) << "left of the cards";
  EXPECT_EQ(shot.ClientPixel(100, 210), background) << "between the rows of cards";
  EXPECT_EQ(shot.ClientPixel(35, H - 70), white) << "navigation card";
  EXPECT_EQ(shot.ClientPixel(219, H - 100), background) << "between the lower cards";
  EXPECT_EQ(shot.ClientPixel(232, H - 64), white) << "content card";
  EXPECT_EQ(shot.ClientPixel(W - 20, H - 100), background) << "right of the cards";
  EXPECT_EQ(shot.ClientPixel(10, H - 38), (Rgb{228, 235, 243})) << "footer rule";
  EXPECT_EQ(shot.ClientPixel(10, H - 50), background) << "above the rule";

  // Page buttons: only the current one in the primary colour (top strip,
  // above the caption).
  for (int i = 0; i < 4; ++i) {
    const Rgb fill = shot.ClientPixel(150, 238 + 56 * i + 5);
    if (i == page) {
      EXPECT_EQ(fill, primary) << "page button " << i + 1;
    } else {
      EXPECT_EQ(fill, white) << "page button " << i + 1;
    }
  }
  // The footer sentence is red, and only there.
  EXPECT_GT(shot.CountInClient({160, H - 32, W - 330, 26}, IsFooterRed), 50);
  EXPECT_EQ(shot.CountInClient({0, 0, W, H - 40}, IsFooterRed), 0);
  // The find button is an action button: primary fill.
  EXPECT_EQ(shot.ClientPixel(W - 148 + 50, 142 + 5), primary);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScreenshotTest,
    ::testing::Values(std::make_tuple(900, 830, 0), std::make_tuple(800, 600, 0),
                      std::make_tuple(800, 600, 2), std::make_tuple(900, 830, 2),
                      std::make_tuple(900, 830, 1), std::make_tuple(900, 830, 3)));

TEST_F(ScreenshotWindowTest, DisabledButtonsAreGrey) {
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
  SetBusy(*state_, true);
  const Screenshot shot = RedrawAndCapture();
  Save(shot, "window-900x830-busy.png");
  // The save IP button at (246 + 432, 236 + 435) in the client area.
  EXPECT_EQ(shot.ClientPixel(246 + 432 + 70, 236 + 435 + 5), (Rgb{235, 239, 244}));
  SetBusy(*state_, false);
}

// --- painting into a given DC ---------------------------------------------------------

// What a print cannot show as the screen does, in the main window's client
// coordinates: the part of `outer` that is not in `inner`.
struct Unprinted {
  RECT outer;
  RECT inner;
};

RECT InMainClient(HWND main, HWND window, bool clientArea) {
  RECT r{};
  if (clientArea) {
    GetClientRect(window, &r);
    MapWindowPoints(window, main, reinterpret_cast<POINT*>(&r), 2);
  } else {
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

// Prints the client area of each visible child of `parent`, then its own
// children, into `composite` (the main window's client area), clipped to
// `clip` as the screen clips them. Each child prints into a DC of its own,
// whose origin is its client area's corner, over a copy of what lies behind
// it: the controls draw from their DC's origin and leave what is transparent.
// Two kinds of pixel are noted as unprinted:
// - a child's frame (window less client area): under Wine a window prints no
//   non-client area, so a field's border, the bands that centre its text and
//   the content panel's scroll bar are not drawn;
// - where two siblings overlap: the screen shows the one that painted last,
//   the print the one above in the z-order.
void PrintChildren(HWND main, HWND parent, HDC composite, const RECT& clip,
                   std::vector<Unprinted>& unprinted) {
  std::vector<RECT> siblings;
  // Bottom of the z-order first, as the screen stacks them.
  for (HWND child = GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDLAST); child;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    const RECT window = InMainClient(main, child, false);
    RECT seen{};
    if (!IntersectRect(&seen, &window, &clip)) continue;
    for (const RECT& other : siblings) {
      RECT both{};
      if (IntersectRect(&both, &seen, &other)) unprinted.push_back({both, RECT{}});
    }
    siblings.push_back(seen);
    const RECT client = InMainClient(main, child, true);
    unprinted.push_back({seen, client});
    RECT shown{};
    if (!IntersectRect(&shown, &client, &clip)) continue;
    const int width = client.right - client.left, height = client.bottom - client.top;
    MemoryBitmap own(width, height);
    BitBlt(own.Dc(), 0, 0, width, height, composite, client.left, client.top, SRCCOPY);
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(own.Dc()), PRF_ERASEBKGND | PRF_CLIENT);
    GdiFlush();
    BitBlt(composite, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
           own.Dc(), shown.left - client.left, shown.top - client.top, SRCCOPY);
    PrintChildren(main, child, composite, shown, unprinted);
  }
}

// Every page printed into a memory DC (the main window's cards through
// WM_PRINTCLIENT, each control through WM_PRINT) is what the screen shows:
// the window paints the same into any DC it is given. The small window's
// ticket content is scrolled, so that the panel cuts lines at both edges.
TEST_F(ScreenshotWindowTest, EachPagePrintedIntoAMemoryDcIsTheScreensCopy) {
  ASSERT_TRUE(WaitForFindButton());
  SetFocus(At(Slot::kFindButton));  // no caret blinking in a field
  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  for (const auto& [outerW, outerH] : {std::pair{900, 830}, std::pair{800, 600}}) {
    SetWindowPos(hwnd_, HWND_TOP, 10, 10, outerW, outerH, SWP_SHOWWINDOW);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int W = client.right, H = client.bottom;
    for (int page = kPageLan; page <= kPageTechnical; ++page) {
      Command(kIdFirstPageButton + page, BN_CLICKED, nullptr);
      if (page == kPageQueue && outerH == 600) {
        SendMessageW(At(Slot::kContentPanel), WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 0);  // 96 down
      }
      const Screenshot screen = RedrawAndCapture();
      MemoryBitmap printed(W, H);
      SendMessageW(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.Dc()), PRF_CLIENT);
      std::vector<Unprinted> unprinted;
      PrintChildren(hwnd_, hwnd_, printed.Dc(), client, unprinted);
      const Screenshot print = printed.Read();
      const std::string name =
          std::to_string(W) + "x" + std::to_string(H) + " page " + std::to_string(page + 1);
      Save(print, "printed-" + std::to_string(outerW) + "x" + std::to_string(outerH) + "-page" +
                      std::to_string(page + 1) + ".png");

      std::vector<bool> skip(static_cast<std::size_t>(W) * H, false);
      for (const Unprinted& u : unprinted) {
        for (int y = std::max<int>(u.outer.top, 0); y < std::min<int>(u.outer.bottom, H); ++y) {
          for (int x = std::max<int>(u.outer.left, 0); x < std::min<int>(u.outer.right, W); ++x) {
            if (!PtInRect(&u.inner, POINT{x, y})) skip[static_cast<std::size_t>(y) * W + x] = true;
          }
        }
      }
      int compared = 0, differing = 0;
      for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
          if (skip[static_cast<std::size_t>(y) * W + x]) continue;
          ++compared;
          if (!(print.ClientPixel(x, y) == screen.ClientPixel(x, y))) ++differing;
        }
      }
      EXPECT_EQ(differing, 0) << name;
      EXPECT_GT(compared, W * H * 9 / 10) << name;
    }
  }
}

// --- letters and text in their boxes ---------------------------------------------------

// A control's rectangle in the main window's client area.
Rect ClientRect(HWND main, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool IsInk(const Rgb& c) { return c.r + c.g + c.b < 3 * 170; }

// The rows and columns with ink inside `r` of the screenshot; empty when none.
struct Ink {
  int top = -1, bottom = -1, left = -1, right = -1;
  bool any() const { return top >= 0; }
};
Ink InkIn(const Screenshot& shot, const Rect& r) {
  Ink ink;
  for (int y = r.y; y < r.Bottom(); ++y) {
    for (int x = r.x; x < r.Right(); ++x) {
      if (!IsInk(shot.ClientPixel(x, y))) continue;
      if (ink.top < 0) ink.top = y;
      ink.bottom = y;
      ink.left = ink.left < 0 ? x : std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
    }
  }
  return ink;
}

// Rows of ink above the top of the first letter (a plain capital) and in all,
// of a label as the screen shows it.
struct Marks {
  int aboveCapital = 0;
  int height = 0;
};
Marks MarksOf(const Screenshot& shot, const Rect& r) {
  const Ink all = InkIn(shot, r);
  if (!all.any()) return {};
  // The first letter: the columns from the first ink to the first empty one.
  int end = all.left;
  while (end < r.Right() && InkIn(shot, {end, r.y, 1, r.height}).any()) ++end;
  const Ink first = InkIn(shot, {all.left, r.y, end - all.left, r.height});
  return {first.top - all.top, all.bottom - all.top + 1};
}

// The same text drawn by the same font in the same colour with room all
// around: the oracle of what the label must show.
Marks MarksDrawnFreely(HFONT font, COLORREF colour, const std::wstring& text) {
  constexpr int kW = 400, kH = 100;
  MemoryBitmap drawn(kW, kH);
  HDC dc = drawn.Dc();
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT all{0, 0, kW, kH};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  TextOutW(dc, 10, 30, text.c_str(), static_cast<int>(text.size()));
  const Screenshot shot = drawn.Read();
  SelectObject(dc, oldFont);
  return MarksOf(shot, {0, 0, kW, kH});
}

TEST_F(ScreenshotWindowTest, CapitalsKeepTheirMarksAndFieldTextSitsInTheMiddle) {
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
  // A printer item without letters below the line.
  auto* result = new TargetsResult;
  result->mode = kModeUsb;
  result->generation = state_->refreshGeneration;
  result->usbPrinters = {UsbPrinter{u"K80", u"USB001", u"", u"K80"}};
  PostMessageW(hwnd_, kMsgTargetsReady, 0, reinterpret_cast<LPARAM>(result));
  Command(kIdQueuePageButton, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  SetWindowTextW(state_->Line(0, LinePart::kEditor), L"STT 123");
  Screenshot shot = RedrawAndCapture();
  Save(shot, "letters-and-fields-queue.png");

  const std::pair<Slot, COLORREF> labels[] = {
      {Slot::kConnectionHeader, state_->palette.headingText},
      {Slot::kContentHeader, state_->palette.panelLabelText}};
  for (const auto& [label, colour] : labels) {
    const std::wstring text = TextOf(At(label));
    const Marks seen = MarksOf(shot, ClientRect(hwnd_, At(label)));
    const Marks drawn = MarksDrawnFreely(state_->uiFont.get(), colour, text);
    // The marks over "Ế" and "Ộ" stand above the capitals, whole.
    EXPECT_GE(drawn.aboveCapital, 2) << Narrow(text) << ": the font cuts the marks";
    EXPECT_EQ(seen.aboveCapital, drawn.aboveCapital) << Narrow(text);
    EXPECT_EQ(seen.height, drawn.height) << Narrow(text);
  }

  // The ink of a field's text is in the middle of its box (its frame left
  // out, and a list's drop-down button).
  auto expectMiddle = [&](const Screenshot& on, HWND control, bool list, bool centredAcross) {
    const Rect box = ClientRect(hwnd_, control);
    const Ink ink = InkIn(on, {box.x + 3, box.y + 3, box.width - (list ? 28 : 6), box.height - 6});
    ASSERT_TRUE(ink.any()) << Narrow(TextOf(control));
    const double middle = (ink.top + ink.bottom) / 2.0;
    const double boxMiddle = box.y + (box.height - 1) / 2.0;
    EXPECT_LE(std::abs(middle - boxMiddle), 2.0)
        << Narrow(TextOf(control)) << ": ink " << ink.top << ".." << ink.bottom << " in " << box.y
        << ".." << box.Bottom() - 1;
    if (centredAcross) {
      const double across = (ink.left + ink.right) / 2.0;
      EXPECT_LE(std::abs(across - (box.x + (box.width - 1) / 2.0)), 2.0) << Narrow(TextOf(control));
    }
  };
  expectMiddle(shot, At(Slot::kPrinterList), true, false);
  expectMiddle(shot, At(Slot::kCopiesField), false, true);  // "1", ES_CENTER
  expectMiddle(shot, state_->Line(0, LinePart::kEditor), false, false);
  expectMiddle(shot, state_->Line(0, LinePart::kSizeList), true, false);
  expectMiddle(shot, At(Slot::kCounterSizeList), true, false);

  Command(kIdWifiPageButton, BN_CLICKED, At(Slot::kWifiPageButton));
  shot = RedrawAndCapture();
  Save(shot, "letters-and-fields-wifi.png");
  for (Slot field : {Slot::kWifiNameField, Slot::kWifiPasswordField, Slot::kWifiIpField,
                     Slot::kWifiMaskField, Slot::kWifiGatewayField}) {
    expectMiddle(shot, At(field), false, false);
  }
  expectMiddle(shot, At(Slot::kWifiModeList), true, false);
}

// High contrast: the window's surfaces and texts take the system colours.
TEST_F(ScreenshotWindowTest, HighContrastShowsTheSystemColours) {
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
  state_->highContrastOn = [] { return true; };
  SendMessageW(hwnd_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  const Screenshot shot = RedrawAndCapture();
  Save(shot, "window-900x830-high-contrast.png");
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int W = client.right, H = client.bottom;
  auto rgbOf = [](COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; };
  EXPECT_EQ(shot.ClientPixel(20, 190), rgbOf(GetSysColor(COLOR_WINDOW))) << "background";
  EXPECT_EQ(shot.ClientPixel(W - 148 + 50, 142 + 5), rgbOf(GetSysColor(COLOR_BTNFACE)))
      << "find button";
  EXPECT_EQ(shot.ClientPixel(150, 238 + 5), rgbOf(GetSysColor(COLOR_HIGHLIGHT)))
      << "current page button";
  EXPECT_EQ(shot.CountInClient({0, 0, W, H}, IsFooterRed), 0) << "the footer stays red";
  EXPECT_EQ(shot.CountInClient({0, 0, W, H},
                               [](const Rgb& c) {
                                 return c == Rgb{0, 91, 170};
                               }),
            0)
      << "the window's own blue";
}

// --- the guide's pictures ---------------------------------------------------------------

// The guide shows the window's client area only: the title bar is drawn by
// Windows itself and looks different there.
class GuidePictures : public ScreenshotWindowTest {
 protected:
  void SetUp() override {
    ScreenshotWindowTest::SetUp();
    SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
    // The bench's own search (no printer anywhere) ends first, so that it
    // cannot replace the printers a picture shows.
    ASSERT_TRUE(WaitForFindButton());
  }
  // The window's own result handling, with the printers a shop might have.
  void ShowPrinters(ConnectionMode mode) {
    if (mode != state_->mode) {
      Command(mode == kModeNetwork ? kIdLanRadio : kIdUsbRadio, BN_CLICKED,
              At(mode == kModeNetwork ? Slot::kLanRadio : Slot::kUsbRadio));
      ASSERT_TRUE(WaitForFindButton());
    }
    auto* result = new TargetsResult;
    result->mode = mode;
    result->generation = state_->refreshGeneration;
    if (mode == kModeNetwork) {
      result->networkPrinters = {Printer("192.168.1.100", "00-1A-2B-3C-4D-5E"),
                                 Printer("192.168.1.101", "00-1A-2B-3C-4D-7A")};
    } else {
      result->usbPrinters = {UsbPrinter{u"Korvante K80", u"USB001", u"", u"Korvante K80"}};
    }
    PostMessageW(hwnd_, kMsgTargetsReady, 0, reinterpret_cast<LPARAM>(result));
    Pump();
  }
  static NetworkPrinter Printer(const char* ip, const char* mac) {
    NetworkPrinter p;
    p.ip = ip;
    p.mac = mac;
    return p;
  }
  // Saves the client area, or the part of it given, as a picture of the guide.
  void Picture(const std::string& name, Rect part = {}) {
    const Screenshot shot = RedrawAndCapture();
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (part.width == 0) part = {0, 0, client.right, client.bottom};
    std::vector<std::uint8_t> rgb;
    for (int y = part.y; y < part.Bottom(); ++y) {
      for (int x = part.x; x < part.Right(); ++x) {
        const Rgb c = shot.ClientPixel(x, y);
        rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.b)});
      }
    }
    const std::string path = PathIn("KV_GUIDE_PICTURE_DIR", name);
    ASSERT_FALSE(path.empty()) << "KV_GUIDE_PICTURE_DIR names the guide's picture folder";
    EXPECT_TRUE(testing::WritePng(path, part.width, part.height, rgb)) << path;
  }
  std::wstring Selected() {
    HWND list = At(Slot::kPrinterList);
    return ListItem(list, static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)));
  }
};

TEST_F(GuidePictures, UsbPrinterOnTheLanPage) {
  ShowPrinters(kModeUsb);
  EXPECT_EQ(Selected(), L"USB001 - Korvante K80");
  Picture("cua-so-chinh.png");
}

TEST_F(GuidePictures, NetworkPrintersOnTheLanPage) {
  ShowPrinters(kModeNetwork);
  EXPECT_EQ(Selected(), L"192.168.1.100    Máy in bill/tem (00-1A-2B-3C-4D-5E)");
  EXPECT_EQ(TextOf(At(Slot::kPrinterLabel)), L"IP máy in");
  Picture("trang-lan.png");
}

TEST_F(GuidePictures, WifiPage) {
  ShowPrinters(kModeNetwork);
  Command(kIdWifiPageButton, BN_CLICKED, At(Slot::kWifiPageButton));
  EXPECT_TRUE(IsWindowVisible(At(Slot::kWifiPage)));
  Picture("trang-wifi.png");
}

TEST_F(GuidePictures, QueuePageWithItsContent) {
  ShowPrinters(kModeNetwork);
  Command(kIdQueuePageButton, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  EXPECT_TRUE(IsWindowVisible(At(Slot::kContentPanel)));
  Picture("trang-so-thu-tu.png");
}

TEST_F(GuidePictures, TechnicalPage) {
  ShowPrinters(kModeNetwork);
  Command(kIdTechnicalPageButton, BN_CLICKED, At(Slot::kTechnicalPageButton));
  EXPECT_TRUE(IsWindowVisible(At(Slot::kTechnicalPage)));
  Picture("trang-ky-thuat.png");
}

// The bench's network has no printer: the search really finds nothing.
TEST_F(GuidePictures, NothingFound) {
  Command(kIdLanRadio, BN_CLICKED, At(Slot::kLanRadio));
  ASSERT_TRUE(WaitForFindButton());
  EXPECT_EQ(Selected(), L"Không tìm thấy máy in LAN / Wi-Fi");
  RECT client{};
  GetClientRect(hwnd_, &client);
  Picture("khong-tim-thay.png", {28, 96, client.right - 56, 108});  // the connection card
}

}  // namespace
}  // namespace korvante::testing
