// Painting: the main window's cards and footer rule into a given device
// context, and the owner-drawn buttons and list items.
#include <windows.h>

#include <array>

#include "app/button_looks.h"
#include "app/main_window_win32.h"
#include "app/style_toggles.h"

namespace korvante {
namespace {

constexpr int kCardCorner = 14;
constexpr int kButtonTextLimit = 160;  // 159 characters and the terminator

// A filled rounded rectangle with a 1-pixel outline, restoring the context.
void RoundedRect(HDC dc, int left, int top, int right, int bottom, Colour fill, Colour border,
                 int corner) {
  BrushOwner brush(CreateSolidBrush(fill));
  PenOwner pen(CreatePen(PS_SOLID, 1, border));
  SelectedObject selectedBrush(dc, brush.get());
  SelectedObject selectedPen(dc, pen.get());
  RoundRect(dc, left, top, right, bottom, corner, corner);
}

}  // namespace

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

bool AnswerChildPaint(const MainWindow& w, HWND parent, UINT message, WPARAM wParam, LPARAM lParam,
                      LRESULT& result) {
  switch (message) {
    case WM_DRAWITEM:
      DrawOwnerItem(w, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = 1;
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      result = ControlColourMessage(w, parent, message, reinterpret_cast<HDC>(wParam),
                                    reinterpret_cast<HWND>(lParam));
      return true;
    default:
      return false;
  }
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
  if (const auto toggle = FindStyleToggle(id)) {
    state.toggleOn = w.lines[static_cast<std::size_t>(toggle->line)].*(toggle->toggle->flag);
  }
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

}  // namespace korvante
