// Screenshots of the window as the display shows it, saved for a person to
// look at, with checks that the painted cards, the current page button and
// the footer sit where the layout puts them; and the pictures of the guide
// for shop staff (app/guide), taken of the real window of this build.
#include "tests/app/window_fixture_win32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <ostream>
#include <tuple>

#include "discovery/refresh.h"
#include "tests/app/png_writer.h"

namespace korvante::testing {
namespace {

// --- screenshots ---------------------------------------------------------------------

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// What the screen shows of a window, read back from the display, with the
// client area's origin inside the picture.
struct Screenshot {
  int width = 0;
  int height = 0;
  POINT client{};
  std::vector<std::uint8_t> rgb;

  Rgb ClientPixel(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y + client.y) * width + (x + client.x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  int CountInClient(const Rect& r, bool (*match)(const Rgb&)) const {
    int n = 0;
    for (int y = r.y; y < r.Bottom(); ++y) {
      for (int x = r.x; x < r.Right(); ++x) n += match(ClientPixel(x, y)) ? 1 : 0;
    }
    return n;
  }
};

// A 32-bit top-down bitmap selected into a memory DC of its own; it starts
// black.
class MemoryBitmap {
 public:
  MemoryBitmap(int width, int height)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;
  ~MemoryBitmap() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  // Its pixels, with the client area's origin at `client`.
  Screenshot Read(POINT client = {0, 0}) const {
    GdiFlush();
    Screenshot shot;
    shot.width = width_;
    shot.height = height_;
    shot.client = client;
    const std::size_t count = bits_ ? static_cast<std::size_t>(width_) * height_ : 0;
    shot.rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    const auto* bgra = static_cast<const std::uint8_t*>(bits_);
    for (std::size_t i = 0; i < count; ++i) {
      for (int c = 0; c < 3; ++c) shot.rgb[i * 3 + c] = bgra[i * 4 + 2 - c];
    }
    return shot;
  }

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

Screenshot Capture(HWND hwnd) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const int width = window.right - window.left, height = window.bottom - window.top;
  MemoryBitmap copy(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(copy.Dc(), 0, 0, width, height, screen, window.left, window.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return copy.Read({origin.x - window.left, origin.y - window.top});
}

// A file in the directory that the environment variable names, as Wine
// sees it (the bench gives a Unix directory; Z: is the Unix root); empty
// when the variable is not set.
std::string PathIn(const char* variable, const std::string& name) {
  const char* dir = std::getenv(variable);
  if (!dir || !*dir) return "";
  return std::string(dir[0] == '/' ? "Z:" : "") + dir + "/" + name;
}

void Save(const Screenshot& shot, const std::string& name) {
  const std::string path = PathIn("KV_SCREENSHOT_DIR", name);
  if (path.empty()) return;
  EXPECT_TRUE(testing::WritePng(path, shot.width, shot.height, shot.rgb)) << path;
}

bool IsFooterRed(const Rgb& c) { return c.r >= 180 && c.g <= 90 && c.b <= 90; }

class ScreenshotWindowTest : public MainWindowTest {
 protected:
  bool WaitForFindButton() {
    for (int waited = 0; waited < 15000; waited += 20) {
      Pump();
      if (TextOf(At(Slot::kFindButton)) == L"Tìm") return true;
      Sleep(20);
    }
    return false;
  }
  // The display shows the window's surface a little after it was painted:
  // capture until the pixels stop changing, for at most two seconds.
  Screenshot RedrawAndCapture() {
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Screenshot last;
    for (int attempt = 0; attempt < 20; ++attempt) {
      Pump();
      Sleep(100);
      Pump();
      Screenshot shot = Capture(hwnd_);
      if (attempt > 0 && shot.rgb == last.rgb) return shot;
      last = std::move(shot);
    }
    return last;
  }
};

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
  ASSERT_TRUE(WaitForFindButton());
  state_->sendBusy = 1;
  SetBusy(*state_, true);
  const Screenshot shot = RedrawAndCapture();
  Save(shot, "window-900x830-busy.png");
  // The save IP button at (246 + 432, 236 + 435) in the client area.
  EXPECT_EQ(shot.ClientPixel(246 + 432 + 70, 236 + 435 + 5), (Rgb{235, 239, 244}));
  state_->sendBusy = 0;
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

// --- small screens -----------------------------------------------------------------------

std::string Describe(HWND h) { return Narrow(ClassOf(h)) + " \"" + Narrow(TextOf(h)) + "\""; }

// The real window's visible children of `parent` (and of each page panel
// among them), apart from the layout's own rules: no two overlap, each lies
// within the parent's client width and the height its scroll bar goes
// through, and none is higher than the parent shows.
void CheckChildren(HWND parent, std::vector<std::string>& faults) {
  RECT client{};
  GetClientRect(parent, &client);
  int top = 0, bottom = client.bottom;
  SCROLLINFO bar{};
  bar.cbSize = sizeof(bar);
  bar.fMask = SIF_ALL;
  if (GetScrollInfo(parent, SB_VERT, &bar)) {
    top = -bar.nPos;
    bottom = std::max<int>(client.bottom, top + bar.nMax + 1);
  }
  std::vector<std::pair<HWND, RECT>> shown;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left < 0 || r.right > client.right || r.top < top || r.bottom > bottom ||
        r.bottom - r.top > client.bottom) {
      faults.push_back(Describe(c) + " out of reach");
    }
    for (const auto& [other, o] : shown) {
      RECT both{};
      if (IntersectRect(&both, &r, &o)) faults.push_back(Describe(c) + " on " + Describe(other));
    }
    shown.emplace_back(c, r);
    if (ClassOf(c) == kPageClassName) CheckChildren(c, faults);
  }
}

// Every page of the window of `state` (the queue page with its content
// hidden and shown) checked and saved as NAME-pageN.png; on the first, the
// footer sentence's red ink as wide as its text: on one line, whole.
void CheckEveryPage(MainWindow& state, const std::string& name, std::function<void()> pump) {
  auto click = [&](int id, HWND sender) {
    SendMessageW(state.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(sender));
    pump();
  };
  for (int view = 0; view < 5; ++view) {
    const int page = view < 3 ? view : view - 1;
    click(kIdFirstPageButton + page, nullptr);
    if (view == 3) click(kIdContentToggle, state.At(Slot::kContentToggle));
    const std::string shot = name + "-page" + std::to_string(page + 1) + (view == 3 ? "c" : "");
    std::vector<std::string> faults;
    CheckChildren(state.hwnd, faults);
    for (const std::string& f : faults) ADD_FAILURE() << shot << ": " << f;
    RedrawWindow(state.hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pump();
    Sleep(200);
    pump();
    const Screenshot screen = Capture(state.hwnd);
    Save(screen, shot + ".png");
    if (view != 0) continue;
    HWND footer = state.At(Slot::kFooter);
    const std::wstring text = TextOf(footer);
    HDC dc = GetDC(footer);
    SelectedObject font(dc, state.uiFont.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(footer, dc);
    const Rect box = PlacedRect(footer);
    int left = box.Right(), right = -1;
    for (int y = box.y; y < box.Bottom(); ++y) {
      for (int x = box.x; x < box.Right(); ++x) {
        if (!IsFooterRed(screen.ClientPixel(x, y))) continue;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    EXPECT_GE(right - left + 1, size.cx - 4) << shot << ": the sentence is cut or wrapped";
    EXPECT_LT(right, PlacedRect(state.At(Slot::kVersion)).x) << shot;
  }
}

TEST_F(ScreenshotWindowTest, SmallScreensShowEveryControlApartAndWithinReach) {
  ASSERT_TRUE(WaitForFindButton());
  for (const auto& [outerW, outerH] : {std::pair{800, 600}, std::pair{1024, 600}}) {
    SetWindowPos(hwnd_, HWND_TOP, 10, 10, outerW, outerH, SWP_SHOWWINDOW);
    CheckEveryPage(*state_, "small-" + std::to_string(outerW) + "x" + std::to_string(outerH),
                   [&] { Pump(); });
  }
  // 1366 x 768 at 125 % leaves a work area of about 582 pixels: the window
  // opens as high as that, entirely inside it.
  ShowWindow(hwnd_, SW_HIDE);
  RECT saved{}, low{0, 0, 1366, 582};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0);
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &low, 0));
  MainWindow state;
  HWND main = CreateMainWindow(GetModuleHandleW(nullptr), state);
  SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
  ASSERT_NE(main, nullptr);
  ShowWindow(main, SW_SHOWNORMAL);
  RECT window{};
  GetWindowRect(main, &window);
  EXPECT_GE(window.top, 0);
  EXPECT_LE(window.bottom, 582);
  CheckEveryPage(state, "small-900x582", [&] { Pump(); });
  DestroyWindow(main);
  Pump();
}

// 1024 x 600: the WiFi page needs 330 pixels and shows 259.
TEST_F(ScreenshotWindowTest, ALowPageScrollsByTheWheelAndTheTabKey) {
  Resize(1024, 600);
  Command(kIdWifiPageButton, BN_CLICKED, At(Slot::kWifiPageButton));
  HWND page = At(Slot::kWifiPage);
  EXPECT_TRUE(GetWindowLongPtrW(page, GWL_STYLE) & WS_VSCROLL) << "the bar shows";
  const Rect save = PlacedRect(At(Slot::kSaveWifiButton));
  // The wheel over the page, then over its closed mode list, which passes
  // it on (330 - 259 = 71 is the end).
  for (HWND under : {page, At(Slot::kWifiModeList)}) {
    SendMessageW(under, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    Pump();
  }
  EXPECT_EQ(state_->pageScroll[kPageWifi], 71);
  EXPECT_EQ(PlacedRect(At(Slot::kSaveWifiButton)).y, save.y - 71);
  EXPECT_EQ(SendMessageW(At(Slot::kWifiModeList), CB_GETCURSEL, 0, 0), 0);
  // The name field, scrolled out above the page, is the stop after the find
  // button (the ring goes by where controls are): Tab brings it into view,
  // and the save button from the mode list.
  SetFocus(At(Slot::kFindButton));
  EXPECT_EQ(PressTab(false), At(Slot::kWifiNameField));
  EXPECT_EQ(PlacedRect(At(Slot::kWifiNameField)).y, 0);
  SetFocus(At(Slot::kWifiModeList));
  EXPECT_EQ(PressTab(false), At(Slot::kSaveWifiButton));
  EXPECT_EQ(PlacedRect(At(Slot::kSaveWifiButton)).Bottom(), 259) << "just into view";
}

// Wine 8 keeps no UI state (WM_QUERYUISTATE answers 0): the test answers for
// the button what Windows does after a start by mouse.
LRESULT CALLBACK HidesFocus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
  if (message == WM_QUERYUISTATE) return UISF_HIDEFOCUS;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The focus rectangle of an owner-drawn button: dots in its text colour 4
// pixels inside it, while it has the focus and the cues are not hidden.
TEST_F(ScreenshotWindowTest, OwnerDrawnButtonsShowTheKeyboardFocus) {
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
  ASSERT_TRUE(WaitForFindButton());
  HWND find = At(Slot::kFindButton);
  const Rect box = PlacedRect(find);
  auto dots = [&](const char* picture) {
    const Screenshot shot = RedrawAndCapture();
    Save(shot, picture);
    int white = 0;
    for (int x = box.x + 4; x < box.Right() - 4; ++x) {
      white += shot.ClientPixel(x, box.y + 4) == Rgb{255, 255, 255} ? 1 : 0;
    }
    return white;
  };
  SetFocus(At(Slot::kPrinterList));
  EXPECT_EQ(dots("focus-none.png"), 0);
  ASSERT_EQ(PressTab(false), find);  // the keyboard shows the cues, as in a dialog
  EXPECT_EQ(dots("focus-find-button.png"), (box.width - 8) / 2) << "every other pixel";
  // The cues hidden: the button draws itself again, without them.
  SetWindowSubclass(find, HidesFocus, 99, 0);
  ValidateRect(find, nullptr);
  SendMessageW(find, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_TRUE(GetUpdateRect(find, nullptr, FALSE));
  EXPECT_EQ(dots("focus-hidden.png"), 0);
  RemoveWindowSubclass(find, HidesFocus, 99);
}

}  // namespace
}  // namespace korvante::testing
