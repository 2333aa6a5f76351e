// The fixture of the window tests: the real main window, built by its own
// window procedure in the test's process, and small Win32 readers.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/main_window_win32.h"

namespace korvante::testing {

inline std::wstring TextOf(HWND h) {
  wchar_t buffer[512] = {};
  GetWindowTextW(h, buffer, 512);
  return buffer;
}

inline std::wstring ClassOf(HWND h) {
  wchar_t buffer[64] = {};
  GetClassNameW(h, buffer, 64);
  return buffer;
}

inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

inline std::wstring ListItem(HWND list, int index) {
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return L"<none>";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Rectangle of a control relative to its parent's client area.
inline Rect PlacedRect(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline MSG KeyDown(HWND target, WPARAM key) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  return msg;
}

inline void HoldKeys(std::initializer_list<int> keys) {
  BYTE state[256] = {};
  for (int k : keys) state[k] = 0x80;
  SetKeyboardState(state);
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitControlClasses();
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    RegisterWindowClasses(GetModuleHandleW(nullptr));
  }

  void SetUp() override {
    HoldKeys({});
    state_ = std::make_unique<MainWindow>();
    hwnd_ = CreateMainWindow(GetModuleHandleW(nullptr), *state_);
    ASSERT_NE(hwnd_, nullptr);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
  }

  void TearDown() override {
    HoldKeys({});
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Pump();
  }

  // Runs the window's own message loop step until the queue is empty.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      if (state_ && PreTranslateKey(*state_, msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void Resize(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }

  void Command(int id, int notification, HWND sender) {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(sender));
    Pump();
  }

  HWND At(Slot s) const { return state_->At(s); }

  // Tab (or Shift+Tab) through the window's own loop, as a user would.
  HWND PressTab(bool shift) {
    HoldKeys(shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
    MSG msg = KeyDown(GetFocus(), VK_TAB);
    EXPECT_TRUE(PreTranslateKey(*state_, msg));
    HoldKeys({});
    return GetFocus();
  }

  std::unique_ptr<MainWindow> state_;
  HWND hwnd_ = nullptr;
};

}  // namespace korvante::testing
