// The printer box's side of typing: which notifications mark it edited, and
// the tool's own writes to it, which never do.
#include <windows.h>

#include <utility>

#include "app/main_window_win32.h"
#include "app/printer_box.h"
#include "app/save_actions_win32.h"

namespace korvante {
namespace {

// The edit part of a drop-down tells its parent of every change, the tool's
// own included on some systems: those are not the user's typing.
LRESULT WriteToBox(MainWindow& w, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool before = std::exchange(w.fillingPrinterBox, true);
  const LRESULT result = SendMessageW(w.At(Slot::kPrinterList), message, wParam, lParam);
  w.fillingPrinterBox = before;
  return result;
}

}  // namespace

void OnPrinterBoxNotification(MainWindow& w, int notification) {
  if (notification == CBN_EDITCHANGE && !w.fillingPrinterBox) w.printerTextEdited = true;
  // A pick from the list (mouse or arrow keys) puts the item's text in the box.
  if (notification == CBN_SELCHANGE) w.printerTextEdited = false;
  if (notification == CBN_SELCHANGE || notification == CBN_EDITCHANGE) ShowLanTargetInfo(w);
}

std::optional<std::u16string> PrinterTextToKeep(const MainWindow& w) {
  return TypedTextToKeep(w.mode, w.printerTextEdited, ControlText(w.At(Slot::kPrinterList)));
}

void ResetPrinterBox(MainWindow& w) { WriteToBox(w, CB_RESETCONTENT, 0, 0); }

void SelectPrinterItem(MainWindow& w, int index) {
  WriteToBox(w, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void RestorePrinterText(MainWindow& w, const std::u16string& text) {
  WriteToBox(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideText(text)));
}

PrinterBoxChoice ResolvePrinterBoxOf(const MainWindow& w) {
  HWND box = w.At(Slot::kPrinterList);
  const int index = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
  return ResolvePrinterBox(w.mode, index, w.printerTextEdited, ControlText(box), w.usbPrinters,
                           w.networkPrinters, w.searches.Running(w.mode));
}

}  // namespace korvante
