// Applying the layout: every control moved to its rectangle of ComputeLayout,
// the panels' scroll bars set to their pages, and the window's smallest size.
#include <windows.h>

#include "app/main_window_win32.h"

namespace korvante {
namespace {

void Move(HWND control, const Rect& r) {
  if (control) MoveWindow(control, r.x, r.y, r.width, r.height, TRUE);
}

// True for a control outside every page or on the page shown (the ticket
// content only while it is shown). The others keep their place until their
// page is shown, when ShowPage and ApplyContentShown lay the window out
// again: creation then moves about 30 controls instead of ~110, which under
// Wine took some 50 ms of the start-up.
bool OnShownPage(const MainWindow& w, HWND control) {
  HWND parent = GetParent(control);
  if (parent == w.hwnd) return true;
  if (parent == w.At(Slot::kContentPanel)) return w.contentShown && w.page == kPageQueue;
  return parent == w.At(PageSlot(ShownPage(w.page)));
}

// A panel's vertical scroll bar: the range of what it holds, the part that
// shows, and where that part starts. Windows hides the bar while the whole
// range shows.
void SetPanelScroll(HWND panel, int contentHeight, int visibleHeight, int offset) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = contentHeight - 1;
  info.nPage = static_cast<UINT>(visibleHeight);
  info.nPos = offset;
  SetScrollInfo(panel, SB_VERT, &info, TRUE);
}

}  // namespace

void LayOutWindow(MainWindow& w) {
  RECT client{};
  GetClientRect(w.hwnd, &client);
  w.laidOutClient = {client.right, client.bottom};
  const LayoutInput input{client.right, client.bottom,  w.contentScroll,
                          w.pageScroll, w.contentShown, w.metrics};
  const WindowLayout layout = ComputeLayout(input);
  w.contentScroll = layout.scrollOffset;
  for (int page = 0; page < kPageCount; ++page) {
    const PageScroll& scroll = layout.pages[static_cast<std::size_t>(page)];
    w.pageScroll[static_cast<std::size_t>(page)] = scroll.offset;
    SetPanelScroll(w.At(PageSlot(page)), scroll.contentHeight, scroll.visibleHeight, scroll.offset);
  }
  SetPanelScroll(w.At(Slot::kContentPanel), kContentHeight, layout.contentVisibleHeight,
                 layout.scrollOffset);
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    if (OnShownPage(w, w.controls[i])) Move(w.controls[i], layout.rects[i]);
  }
}

void SetMinimumSize(HWND hwnd, MINMAXINFO& info) {
  // The work area of the primary screen is what the starting height came
  // from (SPI_GETWORKAREA); another screen's comes from its monitor.
  RECT work{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor) &&
      (monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) {
    work = monitor.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  }
  info.ptMinTrackSize = POINT{kMinWindowWidth, MinimumWindowHeight(work.bottom - work.top)};
}

}  // namespace korvante
