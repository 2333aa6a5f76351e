// The window's colours follow the user's high-contrast setting: with it on,
// every text, fill and border is one of the system colours, read again
// whenever the system colours or the setting change. The standard controls
// get theirs through the colour messages.
#include <windows.h>

#include "app/control_colours.h"
#include "app/main_window_win32.h"

namespace korvante {
namespace {

bool SystemHighContrastOn() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof(setting);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

SystemColours ReadSystemColours() {
  return {GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
          GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNTEXT),
          GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
          GetSysColor(COLOR_GRAYTEXT)};
}

}  // namespace

void ApplyColourScheme(MainWindow& w, bool repaint) {
  const bool highContrast = w.highContrastOn ? w.highContrastOn() : SystemHighContrastOn();
  w.palette = ChoosePalette(highContrast, ReadSystemColours());
  for (int i = 0; i < kSurfaceCount; ++i) {
    w.brushes[i].reset(CreateSolidBrush(SurfaceColour(w.palette, static_cast<Surface>(i))));
  }
  if (repaint) {
    RedrawWindow(w.hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
  }
}

void OnSystemColoursChanged(MainWindow& w) {
  EnumChildWindows(
      w.hwnd,
      [](HWND child, LPARAM) -> BOOL {
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
        return TRUE;
      },
      0);
  // The tooltip window is owned, not a child.
  if (w.tooltip) SendMessageW(w.tooltip, WM_SYSCOLORCHANGE, 0, 0);
  ApplyColourScheme(w, true);
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

}  // namespace korvante
