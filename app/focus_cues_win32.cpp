// The keyboard focus on the owner-drawn buttons. A button draws a focus
// rectangle while it has the focus, unless the window's UI state hides focus
// cues: Windows hides them after mouse input and shows them once the keyboard
// is used (UISF_HIDEFOCUS, changed with WM_CHANGEUISTATE and spread to every
// control by WM_UPDATEUISTATE). The window has no dialog manager to do that,
// so the Tab ring and the message loop do what IsDialogMessage would.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window_win32.h"

namespace korvante {
namespace {

constexpr UINT_PTR kFocusCuesSubclassId = 5;
// Between the button's rounded outline and its focus rectangle.
constexpr int kFocusRectInset = 4;

// A button repaints itself when the focus cues are shown or hidden (the
// system sends WM_UPDATEUISTATE only when the state changes).
LRESULT CALLBACK FocusCuesProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
  if (message == WM_UPDATEUISTATE) {
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if ((HIWORD(wParam) & UISF_HIDEFOCUS) != 0) InvalidateRect(hwnd, nullptr, FALSE);
    return result;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, FocusCuesProc, id);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void RepaintOnUiStateChange(HWND button) {
  SetWindowSubclass(button, FocusCuesProc, kFocusCuesSubclassId, 0);
}

void InitialiseFocusCues(const MainWindow& w) {
  // After a start by mouse Windows hides the cues until the keyboard is used;
  // after a start from the keyboard it shows them.
  SendMessageW(w.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
}

void ShowFocusCues(const MainWindow& w) {
  SendMessageW(w.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void DrawFocusCue(const DRAWITEMSTRUCT& item, COLORREF text) {
  if ((item.itemState & ODS_FOCUS) == 0 || (item.itemState & ODS_NOFOCUSRECT) != 0) return;
  // The button's own UI state too: not every version of the button control
  // turns UISF_HIDEFOCUS into ODS_NOFOCUSRECT for an owner-drawn button.
  if ((SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0) return;
  RECT r = item.rcItem;
  InflateRect(&r, -kFocusRectInset, -kFocusRectInset);
  if (r.right - r.left < 2 || r.bottom - r.top < 2) return;
  // Every other pixel of the outline, in the caption's colour: DrawFocusRect
  // would invert the fill instead (orange dots on the blue action buttons).
  int step = 0;
  auto dot = [&](int x, int y) {
    if (step++ % 2 == 0) SetPixelV(item.hDC, x, y, text);
  };
  for (int x = r.left; x < r.right - 1; ++x) dot(x, r.top);
  for (int y = r.top; y < r.bottom - 1; ++y) dot(r.right - 1, y);
  for (int x = r.right - 1; x > r.left; --x) dot(x, r.bottom - 1);
  for (int y = r.bottom - 1; y > r.top; --y) dot(r.left, y);
}

}  // namespace korvante
