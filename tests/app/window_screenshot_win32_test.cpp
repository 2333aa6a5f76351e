// Screenshots of the window as the display shows it, saved for a person to
// look at, with checks that the painted cards, the current page button and
// the footer sit where the layout puts them.
#include "tests/app/window_fixture_win32.h"

#include <cstdlib>
#include <string>
#include <vector>
#include <ostream>
#include <tuple>

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
    for (int y = r.y; y < r.bottom(); ++y) {
      for (int x = r.x; x < r.right(); ++x) n += match(ClientPixel(x, y)) ? 1 : 0;
    }
    return n;
  }
};

Screenshot Capture(HWND hwnd) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  Screenshot shot;
  shot.width = window.right - window.left;
  shot.height = window.bottom - window.top;
  shot.client = {origin.x - window.left, origin.y - window.top};

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, window.left, window.top, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
  for (std::size_t i = 0; i < static_cast<std::size_t>(shot.width) * shot.height; ++i) {
    shot.rgb[i * 3] = bgra[i * 4 + 2];
    shot.rgb[i * 3 + 1] = bgra[i * 4 + 1];
    shot.rgb[i * 3 + 2] = bgra[i * 4];
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

void Save(const Screenshot& shot, const std::string& name) {
  const char* dir = std::getenv("KV_SCREENSHOT_DIR");
  if (!dir || !*dir) return;
  // The bench gives a Unix directory; Wine's Z: drive is the Unix root.
  const std::string path = std::string(dir[0] == '/' ? "Z:" : "") + dir + "/" + name;
  EXPECT_TRUE(testing::WritePng(path, shot.width, shot.height, shot.rgb)) << path;
}

bool IsFooterRed(const Rgb& c) { return c.r >= 180 && c.g <= 90 && c.b <= 90; }

class ScreenshotWindowTest : public MainWindowTest {
 protected:
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
  if (page == 2) Command(207, BN_CLICKED, at(Slot::kContentToggle));
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

}  // namespace
}  // namespace korvante::testing
