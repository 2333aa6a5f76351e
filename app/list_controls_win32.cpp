// The window's drop-down lists: owner-drawn, so that the text of the
// selection field and of every item sits in the middle of its box on every
// Windows (a plain list writes it one pixel below the top), and deaf to a
// mouse wheel they have not been given: Windows 10 and 11 send the wheel to
// the window under the pointer, and a closed size list there would change its
// size while the user scrolls the ticket content past it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/main_window_win32.h"

namespace korvante {
namespace {

constexpr UINT_PTR kWheelSubclassId = 3;
constexpr int kItemTextInset = 4;

// The user is in the list: it has the focus, or its edit part has (an
// editable drop-down, the printer box in LAN / Wi-Fi mode, keeps the focus in
// its child edit).
bool FocusIn(HWND list) {
  HWND focus = GetFocus();
  return focus && (focus == list || IsChild(list, focus));
}

LRESULT CALLBACK WheelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR) {
  if (message == WM_MOUSEWHEEL && !FocusIn(hwnd) && !SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0)) {
    return SendMessageW(GetParent(hwnd), message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, WheelProc, id);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

int ClosedHeight(HWND list) {
  RECT r{};
  GetWindowRect(list, &r);
  return r.bottom - r.top;
}

void SetClosedListHeight(HWND list, int height) {
  // The frame around the selection field differs between versions of the
  // common controls: set the field, look at the box, correct once.
  const LRESULT field = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (field == CB_ERR) return;
  int wanted = static_cast<int>(field) + height - ClosedHeight(list);
  for (int attempt = 0; attempt < 2 && wanted > 0; ++attempt) {
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    wanted += height - ClosedHeight(list);
  }
}

void PassWheelWhenIdle(HWND list) { SetWindowSubclass(list, WheelProc, kWheelSubclassId, 0); }

void DrawListItem(const MainWindow& w, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const Palette& p = w.palette;
  const Colour fill = selected && !disabled ? p.listSelectedFill : p.card;
  const Colour text = disabled ? p.disabledText : selected ? p.listSelectedText : p.bodyText;
  BrushOwner brush(CreateSolidBrush(fill));
  FillRect(dc, &box, brush.get());
  if (item.itemID != static_cast<UINT>(-1)) {
    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    if (length > 0) {
      std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
      SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID,
                   reinterpret_cast<LPARAM>(caption.data()));
      caption.resize(static_cast<std::size_t>(length));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, text);
      SelectedObject font(dc, w.uiFont.get());
      RECT inner = box;
      inner.left += kItemTextInset;
      inner.right -= kItemTextInset;
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &inner,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    DrawFocusRect(dc, &box);
  }
}

}  // namespace korvante
