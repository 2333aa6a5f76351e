// What a screen reader reads of the style toggles. An owner-drawn button
// says only its caption ("B") and never that it is on; dynamic annotation
// (IAccPropServices) gives each toggle its tooltip as its name and reports it
// pressed while its style is on. Annotation needs COM, which the window
// starts only when a screen reader first asks a toggle for its accessible
// object (WM_GETOBJECT), so that a start without one pays nothing for it.
#include <initguid.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "app/button_looks.h"
#include "app/main_window_win32.h"
#include "app/style_toggles.h"

namespace korvante {
namespace {

static_assert(kAccessibleUnavailable == STATE_SYSTEM_UNAVAILABLE);
static_assert(kAccessibleFocused == STATE_SYSTEM_FOCUSED);
static_assert(kAccessiblePressed == STATE_SYSTEM_PRESSED);
static_assert(kAccessibleFocusable == STATE_SYSTEM_FOCUSABLE);

constexpr UINT_PTR kToggleSubclassId = 4;

IAccPropServices* Services(const MainWindow& w) {
  return static_cast<IAccPropServices*>(w.accessibility);
}

void AnnotateWithServices(IAccPropServices* services, HWND toggle, std::u16string_view name,
                          std::uint32_t state) {
  const std::wstring wide(name.begin(), name.end());
  services->SetHwndPropStr(toggle, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, wide.c_str());
  VARIANT value{};
  value.vt = VT_I4;
  value.lVal = static_cast<LONG>(state);
  services->SetHwndProp(toggle, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_STATE, value);
}

void AnnotateAll(MainWindow& w) {
  for (int line = 0; line < kLineCount; ++line) {
    for (const StyleToggle& toggle : kStyleToggles) AnnotateToggle(w, w.Line(line, toggle.part));
  }
}

bool StartAccessibility(MainWindow& w) {
  if (w.accessibility) return true;
  // The window's thread is single-threaded; another part may have started
  // COM already (S_FALSE), which is as good.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return false;
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
    CoUninitialize();
    return false;
  }
  w.accessibility = services;
  AnnotateAll(w);
  return true;
}

LRESULT CALLBACK ToggleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR) {
  switch (message) {
    case WM_GETOBJECT:
      if (MainWindow* w = StateOf(hwnd)) StartAccessibility(*w);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: {
      // The annotated state replaces the button's own: keep its focus in it.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      if (MainWindow* w = StateOf(hwnd)) AnnotateToggle(*w, hwnd);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ToggleProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void MakeTogglesAccessible(MainWindow& w) {
  for (int line = 0; line < kLineCount; ++line) {
    for (const StyleToggle& toggle : kStyleToggles) {
      SetWindowSubclass(w.Line(line, toggle.part), ToggleProc, kToggleSubclassId, 0);
    }
  }
}

void AnnotateToggle(MainWindow& w, HWND toggle) {
  const std::optional<LineToggle> found = FindStyleToggle(GetDlgCtrlID(toggle));
  if (!found) return;
  const bool on = w.lines[static_cast<std::size_t>(found->line)].*(found->toggle->flag);
  const std::u16string_view name = found->toggle->name;
  const std::uint32_t state =
      ToggleAccessibleState(on, GetFocus() == toggle, IsWindowEnabled(toggle) != FALSE);
  if (w.annotateToggle) {
    w.annotateToggle(toggle, name, state);
  } else if (IAccPropServices* services = Services(w)) {
    AnnotateWithServices(services, toggle, name, state);
  }
}

void AnnounceToggle(MainWindow& w, HWND toggle) {
  AnnotateToggle(w, toggle);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, toggle, OBJID_CLIENT, CHILDID_SELF);
}

void EndAccessibility(MainWindow& w) {
  IAccPropServices* services = Services(w);
  if (!services) return;
  const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_STATE};
  for (int line = 0; line < kLineCount; ++line) {
    for (const StyleToggle& toggle : kStyleToggles) {
      services->ClearHwndProps(w.Line(line, toggle.part), OBJID_CLIENT, CHILDID_SELF, props, 2);
    }
  }
  services->Release();
  w.accessibility = nullptr;
  CoUninitialize();
}

}  // namespace korvante
