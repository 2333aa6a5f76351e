// The page panels' window procedure: the pages and the ticket content are
// panels of one class, which paint their card background, pass their
// controls' commands and colour requests on to the main window, and scroll.
#include <windowsx.h>

#include <algorithm>

#include "app/main_window_win32.h"
#include "app/scroll_steps.h"

namespace korvante {
namespace {

// The page whose panel `hwnd` is, or -1.
int PageOfPanel(const MainWindow& w, HWND hwnd) {
  for (int page = 0; page < kPageCount; ++page) {
    if (hwnd == w.At(PageSlot(page))) return page;
  }
  return -1;
}

// The scroll offset that a panel's scroll bar moves: the ticket content's or
// a page's.
int& ScrollOffsetOf(MainWindow& w, HWND panel) {
  const int page = PageOfPanel(w, panel);
  return page < 0 ? w.contentScroll : w.pageScroll[static_cast<std::size_t>(page)];
}

void OnPanelScroll(MainWindow& w, HWND panel, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(panel, SB_VERT, &info);
  int& offset = ScrollOffsetOf(w, panel);
  offset = ScrollStep(offset, request, {static_cast<int>(info.nPage), info.nTrackPos, info.nMax});
  LayOutWindow(w);
  RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// A wheel turn that leaves the offset where it is (a page that does not
// scroll, or one at its end) lays nothing out again.
void OnPanelWheel(MainWindow& w, HWND panel, int delta) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE;
  GetScrollInfo(panel, SB_VERT, &info);
  const int end = std::max(0, info.nMax + 1 - static_cast<int>(info.nPage));
  int& offset = ScrollOffsetOf(w, panel);
  const int moved = std::clamp(WheelStep(offset, delta), 0, end);
  if (moved == offset) return;
  offset = moved;
  LayOutWindow(w);
}

}  // namespace

LRESULT CALLBACK PageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = StateOf(hwnd);
  if (!w || !w->hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (LRESULT result = 0; AnswerChildPaint(*w, hwnd, message, wParam, lParam, result)) {
    return result;
  }
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, w->Brush(Surface::kCard));
      return 1;
    }
    case WM_COMMAND:
      // A line editor's lines move to the middle again as they come and go.
      if (HIWORD(wParam) == EN_CHANGE) RecentreEditorText(reinterpret_cast<HWND>(lParam));
      SendMessageW(w->hwnd, WM_COMMAND, wParam, lParam);
      return 0;
    // The ticket content and every page scroll; a page only while it is
    // lower than its controls need (the layout clamps the offset).
    case WM_VSCROLL:
      OnPanelScroll(*w, hwnd, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnPanelWheel(*w, hwnd, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace korvante
