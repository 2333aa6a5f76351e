// The message loop with the window's own keyboard handling: a Tab ring in
// reading order over every visible, enabled tab stop of all pages, and Ctrl+A
// select-all in every edit control. There is no dialog-style navigation.
#include <windows.h>
#include <commctrl.h>

#include <cwctype>
#include <vector>

#include "app/main_window_win32.h"
#include "app/tab_ring.h"

namespace korvante {
namespace {

constexpr UINT_PTR kSelectAllSubclassId = 1;

bool ClassIs(HWND hwnd, const wchar_t* name) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  return lstrcmpiW(cls, name) == 0;
}

bool KeyHeld(int key) { return GetKeyState(key) < 0; }

// Ctrl+A selects the whole text of an edit control; true when `key` was it.
bool SelectAllOnCtrlA(HWND edit, WPARAM key) {
  if (key != 'A' || !KeyHeld(VK_CONTROL)) return false;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  return true;
}

struct RingEntry {
  HWND hwnd;
  TabStop stop;
};

void CollectTabStops(HWND parent, std::vector<RingEntry>& ring) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (IsWindowVisible(child) && IsWindowEnabled(child) && (style & WS_TABSTOP) &&
        (ClassIs(child, L"Edit") || ClassIs(child, L"ComboBox") || ClassIs(child, L"Button"))) {
      RECT r{};
      GetWindowRect(child, &r);
      ring.push_back({child, TabStop{r.left, r.top, ring.size()}});
    }
    // The edit part of an editable drop-down is the combo box's own.
    if (!ClassIs(child, L"ComboBox")) CollectTabStops(child, ring);
  }
}

// How far a scrolling panel must move so that `focus` shows in it: by the
// part above its top, or else by the part below its bottom.
int ShortfallIn(HWND panel, HWND focus) {
  RECT panelRect{};
  RECT focusRect{};
  GetClientRect(panel, &panelRect);
  MapWindowPoints(panel, HWND_DESKTOP, reinterpret_cast<POINT*>(&panelRect), 2);
  GetWindowRect(focus, &focusRect);
  if (focusRect.top < panelRect.top) return focusRect.top - panelRect.top;
  if (focusRect.bottom > panelRect.bottom) return focusRect.bottom - panelRect.bottom;
  return 0;
}

// Scrolls the ticket content, then the page, so that a newly focused
// control inside them shows.
void BringIntoView(MainWindow& w, HWND focus) {
  HWND content = w.At(Slot::kContentPanel);
  if (w.contentShown && IsChild(content, focus)) {
    w.contentScroll += ShortfallIn(content, focus);
    LayOutWindow(w);
  }
  for (int page = 0; page < kPageCount; ++page) {
    HWND panel = w.At(PageSlot(page));
    if (!IsChild(panel, focus)) continue;
    w.pageScroll[static_cast<std::size_t>(page)] += ShortfallIn(panel, focus);
    LayOutWindow(w);
  }
}

bool MoveFocusAlongRing(MainWindow& w, bool backwards) {
  std::vector<RingEntry> ring;
  CollectTabStops(w.hwnd, ring);
  if (ring.empty()) return false;
  std::vector<TabStop> stops;
  stops.reserve(ring.size());
  for (const RingEntry& e : ring) stops.push_back(e.stop);
  SortTabRing(stops);

  HWND focus = GetFocus();
  std::optional<std::size_t> current;
  for (std::size_t i = 0; i < stops.size() && !current; ++i) {
    HWND entry = ring[stops[i].order].hwnd;
    if (focus && (entry == focus || IsChild(entry, focus))) current = i;
  }
  HWND next = ring[stops[NextTabIndex(current, stops.size(), backwards)].order].hwnd;
  // As in a dialog: once the keyboard moves the focus, it shows where it is.
  ShowFocusCues(w);
  SetFocus(next);
  BringIntoView(w, next);
  return true;
}

LRESULT CALLBACK SelectAllProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
  if (message == WM_KEYDOWN && SelectAllOnCtrlA(hwnd, wParam)) return 0;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, SelectAllProc, id);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void SubclassForSelectAll(HWND edit) {
  SetWindowSubclass(edit, SelectAllProc, kSelectAllSubclassId, 0);
}

bool PreTranslateKey(MainWindow& w, const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_TAB && !KeyHeld(VK_CONTROL)) {
    return MoveFocusAlongRing(w, KeyHeld(VK_SHIFT));
  }
  // Every edit of the window is subclassed for Ctrl+A too; here the key is
  // taken before TranslateMessage turns it into a character.
  return msg.hwnd && ClassIs(msg.hwnd, L"Edit") && SelectAllOnCtrlA(msg.hwnd, msg.wParam);
}

void RunMessageLoop(MainWindow& w) {
  InitialiseFocusCues(w);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslateKey(w, msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace korvante
