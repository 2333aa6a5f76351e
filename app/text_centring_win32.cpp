// Text in the middle of its box. A single-line edit writes its line at the
// top of its client area, and no message moves it: its formatting rectangle
// (EM_SETRECT) is honoured by multi-line edits only, and its margins are left
// and right. So a field gives the space above and below its line to its
// non-client area, which it paints in its own background: the box keeps the
// height the layout gives it, and the line sits in its middle. A multi-line
// line editor moves its formatting rectangle down instead, by as much as its
// lines leave free.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/main_window_win32.h"

namespace korvante {
namespace {

constexpr UINT_PTR kFieldSubclassId = 2;
constexpr UINT_PTR kEditorSubclassId = 2;

// A line of the edit's own font (the system font until it is given one).
int LineHeight(HWND edit) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
  return FontLineHeight(edit, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
}

void FrameChanged(HWND hwnd) {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The edit's own border, on each side: the client area's left offset in the
// window (only the top and bottom are taken for the text's inset).
int BorderOf(HWND hwnd, RECT& window, RECT& client) {
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  return client.left;
}

// The bands above and below the line, in the colour the edit paints its
// background with.
void PaintInsetBands(HWND hwnd) {
  RECT window{}, client{};
  const int border = BorderOf(hwnd, window, client);
  HDC dc = GetWindowDC(hwnd);
  const bool plain = IsWindowEnabled(hwnd) && !(GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(hwnd), plain ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!brush) brush = GetSysColorBrush(plain ? COLOR_WINDOW : COLOR_BTNFACE);
  const RECT above{border, border, window.right - border, client.top};
  const RECT below{border, client.bottom, window.right - border, window.bottom - border};
  if (above.bottom > above.top) FillRect(dc, &above, brush);
  if (below.bottom > below.top) FillRect(dc, &below, brush);
  ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK FieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      RECT& client = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : *reinterpret_cast<RECT*>(lParam);
      const int line = LineHeight(hwnd);
      const int inset = CentredTextInset(client.bottom - client.top, line, 1);
      client.top += inset;
      client.bottom = std::max(client.top + line, client.bottom - inset);
      return result;
    }
    case WM_NCPAINT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      PaintInsetBands(hwnd);
      return result;
    }
    case WM_NCHITTEST: {
      // A click on a band above or below the line goes to the field.
      const LRESULT hit = DefSubclassProc(hwnd, message, wParam, lParam);
      if (hit != HTNOWHERE && hit != HTBORDER) return hit;
      RECT window{}, client{};
      const int border = BorderOf(hwnd, window, client);
      RECT screen{};
      GetWindowRect(hwnd, &screen);
      InflateRect(&screen, -border, -border);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      return PtInRect(&screen, at) ? HTCLIENT : hit;
    }
    case WM_SETFONT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      FrameChanged(hwnd);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, FieldProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR) {
  switch (message) {
    case WM_SIZE:
    case WM_SETFONT:
    case WM_SETTEXT: {
      // A multi-line edit tells nobody of a WM_SETTEXT: place its lines here.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      RecentreEditorText(hwnd);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, EditorProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

int FontLineHeight(HWND window, HGDIOBJ font) {
  HDC dc = GetDC(window);
  TEXTMETRICW metrics{};
  {
    SelectedObject selected(dc, font);
    GetTextMetricsW(dc, &metrics);
  }
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

void CentreFieldText(HWND field, bool now) {
  SetWindowSubclass(field, FieldProc, kFieldSubclassId, 0);
  if (now) FrameChanged(field);
}

void CentreEditorText(HWND editor) { SetWindowSubclass(editor, EditorProc, kEditorSubclassId, 0); }

void RecentreEditorText(HWND editor) {
  if (!(GetWindowLongPtrW(editor, GWL_STYLE) & ES_MULTILINE)) return;
  RECT client{};
  GetClientRect(editor, &client);
  const int lines = static_cast<int>(SendMessageW(editor, EM_GETLINECOUNT, 0, 0));
  RECT format = client;
  format.top += CentredTextInset(client.bottom - client.top, LineHeight(editor), lines);
  RECT current{};
  SendMessageW(editor, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&current));
  // The rectangle keeps the edit's own left and right margins; only its top
  // moves. Its bottom stays at the box's, so that a new line fits at once.
  format.left = current.left;
  format.right = current.right;
  if (current.top == format.top && current.bottom == format.bottom) return;
  SendMessageW(editor, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
}

}  // namespace korvante
