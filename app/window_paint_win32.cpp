// Applying the layout, painting the main window's cards, the colours of the
// standard controls, the owner-drawn buttons and the page panel procedure.
#include <windowsx.h>

#include <algorithm>
#include <array>

#include "app/button_looks.h"
#include "app/control_colours.h"
#include "app/main_window_win32.h"
#include "app/scroll_steps.h"

namespace korvante {
namespace {

constexpr int kCardCorner = 14;
constexpr int kButtonTextLimit = 160;  // 159 characters and the terminator

void Move(HWND control, const Rect& r) {
  if (control) MoveWindow(control, r.x, r.y, r.width, r.height, TRUE);
}

// True for a control outside every page or on the page shown (the ticket
// content only while it is shown). The others keep their place until their
// page is shown, when ShowPage and ApplyContentShown lay the window out
// again: creation then moves about 30 controls instead of ~110, which under
// Wine took some 50 ms of the start-up.
static_assert(static_cast<int>(Slot::kTechnicalPage) - static_cast<int>(Slot::kLanPage) ==
                  kPageTechnical,
              "the page panels' slots in page order");
bool OnShownPage(const MainWindow& w, HWND control) {
  HWND parent = GetParent(control);
  if (parent == w.hwnd) return true;
  if (parent == w.At(Slot::kContentPanel)) return w.contentShown && w.page == kPageQueue;
  const int shown = w.page >= kPageLan && w.page <= kPageQueue ? w.page : kPageTechnical;
  return parent == w.At(static_cast<Slot>(static_cast<int>(Slot::kLanPage) + shown));
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

// The page whose panel `hwnd` is, or -1.
int PageOfPanel(const MainWindow& w, HWND hwnd) {
  for (int page = 0; page < kPageCount; ++page) {
    if (hwnd == w.At(static_cast<Slot>(static_cast<int>(Slot::kLanPage) + page))) return page;
  }
  return -1;
}

// A filled rounded rectangle with a 1-pixel outline, restoring the context.
void RoundedRect(HDC dc, int left, int top, int right, int bottom, Colour fill, Colour border,
                 int corner) {
  BrushOwner brush(CreateSolidBrush(fill));
  PenOwner pen(CreatePen(PS_SOLID, 1, border));
  SelectedObject selectedBrush(dc, brush.get());
  SelectedObject selectedPen(dc, pen.get());
  RoundRect(dc, left, top, right, bottom, corner, corner);
}

bool IsStyleToggle(const MainWindow& w, HWND control, bool& on) {
  for (int i = 0; i < kLineCount; ++i) {
    const QueueLine& line = w.lines[i];
    if (control == w.Line(i, LinePart::kBold)) return on = line.bold, true;
    if (control == w.Line(i, LinePart::kItalic)) return on = line.italic, true;
    if (control == w.Line(i, LinePart::kUnderline)) return on = line.underline, true;
  }
  return false;
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
    SetPanelScroll(w.At(static_cast<Slot>(static_cast<int>(Slot::kLanPage) + page)),
                   scroll.contentHeight, scroll.visibleHeight, scroll.offset);
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

void PaintMainWindow(const MainWindow& w, HDC dc) {
  RECT client{};
  GetClientRect(w.hwnd, &client);
  FillRect(dc, &client, w.Brush(Surface::kBackground));
  const Backdrop b = ComputeBackdrop(client.right, client.bottom);
  for (const Corners& card : {b.connectionCard, b.navigationCard, b.contentCard}) {
    RoundedRect(dc, card.left, card.top, card.right, card.bottom, w.palette.card,
                w.palette.cardBorder, kCardCorner);
  }
  PenOwner rule(CreatePen(PS_SOLID, 1, w.palette.footerRule));
  SelectedObject selected(dc, rule.get());
  MoveToEx(dc, 0, b.footerRuleY, nullptr);
  LineTo(dc, client.right, b.footerRuleY);
}

LRESULT ControlColourMessage(const MainWindow& w, HWND parent, UINT message, HDC dc, HWND control) {
  const ColourRequest request = message == WM_CTLCOLOREDIT  ? ColourRequest::kEdit
                                : message == WM_CTLCOLORBTN ? ColourRequest::kButton
                                                            : ColourRequest::kStatic;
  const ControlColours colours =
      ChooseControlColours(request, w.SlotOf(control), parent != w.hwnd, w.palette);
  SetTextColor(dc, colours.text);
  if (colours.transparent) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkColor(dc, SurfaceColour(w.palette, colours.surface));
  }
  return reinterpret_cast<LRESULT>(w.Brush(colours.surface));
}

void DrawOwnerItem(const MainWindow& w, const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_COMBOBOX) {
    DrawListItem(w, item);
  } else {
    DrawOwnerButton(w, item);
  }
}

void DrawOwnerButton(const MainWindow& w, const DRAWITEMSTRUCT& item) {
  ButtonState state;
  const int id = static_cast<int>(item.CtlID);
  state.kind = ButtonKindOfId(id);
  bool toggleOn = false;
  if (IsStyleToggle(w, item.hwndItem, toggleOn)) {
    state.kind = ButtonKind::kStyleToggle;
  } else if (state.kind == ButtonKind::kStyleToggle) {
    state.kind = ButtonKind::kWidth;
  }
  state.toggleOn = toggleOn;
  state.currentPage = state.kind == ButtonKind::kPage && id - kIdFirstPageButton == w.page;
  state.pressed = (item.itemState & ODS_SELECTED) != 0;
  state.disabled = (item.itemState & ODS_DISABLED) != 0;
  const ButtonLook look = ChooseButtonLook(state, w.palette);

  HDC dc = item.hDC;
  RECT r = item.rcItem;
  RoundedRect(dc, r.left + kButtonFaceInset, r.top + kButtonFaceInset, r.right - kButtonFaceInset,
              r.bottom - kButtonFaceInset, look.fill, look.border, look.corner);
  std::array<wchar_t, kButtonTextLimit> text{};
  GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, look.text);
  SelectedObject font(dc, w.uiFont.get());
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
  if (look.leftAligned) {
    r.left += kPageButtonTextLeftInset;
    r.right -= kPageButtonTextRightInset;
    format |= DT_LEFT;
  } else {
    format |= DT_CENTER;
  }
  DrawTextW(dc, text.data(), -1, &r, format);
  DrawFocusCue(item, look.text);
}

LRESULT CALLBACK PageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = StateOf(hwnd);
  if (!w || !w->hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, w->Brush(Surface::kCard));
      return 1;
    }
    case WM_DRAWITEM:
      DrawOwnerItem(*w, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
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
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return ControlColourMessage(*w, hwnd, message, reinterpret_cast<HDC>(wParam),
                                  reinterpret_cast<HWND>(lParam));
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace korvante
