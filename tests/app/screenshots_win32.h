// Screenshots of the window as the display shows it, and a memory bitmap to
// print into: the helpers of the window tests that look at pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/png_writer.h"
#include "tests/app/window_fixture_win32.h"

namespace korvante::testing {

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
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

inline Screenshot Capture(HWND hwnd) {
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
inline std::string PathIn(const char* variable, const std::string& name) {
  const char* dir = std::getenv(variable);
  if (!dir || !*dir) return "";
  return std::string(dir[0] == '/' ? "Z:" : "") + dir + "/" + name;
}

inline void Save(const Screenshot& shot, const std::string& name) {
  const std::string path = PathIn("KV_SCREENSHOT_DIR", name);
  if (path.empty()) return;
  EXPECT_TRUE(testing::WritePng(path, shot.width, shot.height, shot.rgb)) << path;
}

inline bool IsFooterRed(const Rgb& c) { return c.r >= 180 && c.g <= 90 && c.b <= 90; }

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

}  // namespace korvante::testing
