// RunSendAsync bound to a real window with a message loop: outcomes arrive as
// kMsgSendDone, one job runs at a time, a refused job never runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/usb-bench/bench_win32.h"
#include "app/window_send_hooks_win32.h"
#include "transport/transports_win32.h"

namespace korvante {
namespace {

// The window's side of the contract, as the main window must do it.
struct TestWindow {
  HWND hwnd = nullptr;
  std::atomic<std::uint8_t> busy{0};
  std::vector<std::u16string> shown;
  std::vector<bool> busyCalls;
  int outcomes = 0;

  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == kMsgSendDone && self != nullptr) {
      self->busy.exchange(0);
      self->busyCalls.push_back(false);
      if (auto outcome = TakeSendOutcome(lParam)) self->shown.push_back(outcome->text);
      ++self->outcomes;
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  TestWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvanteSendJobsTest";
    RegisterClassW(&wc);
    hwnd = CreateWindowW(wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestWindow() { DestroyWindow(hwnd); }

  SendJobHooks hooks() {
    return WindowSendHooks(
        hwnd, busy, [this](std::u16string_view text) { shown.emplace_back(text); },
        [this](bool on) { busyCalls.push_back(on); });
  }

  // Runs the message loop until `count` outcomes were handled or 10 s passed.
  bool pumpUntilOutcomes(int count) {
    const DWORD deadline = GetTickCount() + 10000;
    while (outcomes < count && GetTickCount() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    return outcomes >= count;
  }
};

TEST(SendJobsWine, OneJobAtATimeAndOutcomesReachTheWindow) {
  TestWindow window;
  ASSERT_NE(window.hwnd, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> refusedRuns{0};

  RunSendAsync(
      window.hooks(),
      [release] {
        WaitForSingleObject(release, 10000);
        return true;
      },
      u"Đã gửi lần một.", u"Lỗi lần một.");
  RunSendAsync(
      window.hooks(),
      [&refusedRuns] {
        ++refusedRuns;
        return true;
      },
      u"Đã gửi lần hai.", u"Lỗi lần hai.");
  EXPECT_EQ(window.shown, (std::vector<std::u16string>{u"Đang gửi lệnh, vui lòng đợi."}));
  EXPECT_EQ(window.busy.load(), 1);

  SetEvent(release);
  ASSERT_TRUE(window.pumpUntilOutcomes(1));
  EXPECT_EQ(window.shown.back(), u"Đã gửi lần một.");
  EXPECT_EQ(window.busy.load(), 0);

  // Real ordinary jobs: a serial adapter that takes the bytes, then a printer
  // whose device has been unplugged, which fails at once.
  const CommandBuffer bytes = {0x1B, 0x40, 0x0A};
  PrinterTarget serial;
  serial.usb = {u"CH340", u"COM5", u"\\\\.\\COM5", u""};
  const std::size_t before = bench::CapturedSize(L"serial.out");
  RunSendAsync(window.hooks(), OrdinarySendJob{serial, bytes}, u"Đã lưu.", u"Không gửi được.");
  ASSERT_TRUE(window.pumpUntilOutcomes(2));
  EXPECT_EQ(window.shown.back(), u"Đã lưu.");
  EXPECT_EQ(bench::CapturedAfter(L"serial.out", before, bytes.size()), bytes);

  PrinterTarget unplugged;
  unplugged.usb = {u"Gone", u"USB004", bench::kMissingPath, u""};
  RunSendAsync(window.hooks(), OrdinarySendJob{unplugged, bytes}, u"Đã lưu.", u"Không gửi được.");
  ASSERT_TRUE(window.pumpUntilOutcomes(3));
  EXPECT_EQ(window.shown.back(), u"Không gửi được.");

  EXPECT_EQ(refusedRuns.load(), 0);
  EXPECT_EQ(window.busyCalls, (std::vector<bool>{true, false, true, false, true, false}));
  CloseHandle(release);
}

}  // namespace
}  // namespace korvante
