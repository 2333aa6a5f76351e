// The window's side of a refresh: the worker's start, its result, and the
// address suggestions drawn from the profiles it brings.
#include "app/refresh_window_win32.h"

#include <memory>

#include "app/save_actions_win32.h"
#include "app/startup_trace.h"
#include "app/window_texts.h"
#include "discovery/network_profiles.h"
#include "discovery/refresh.h"
#include "app/refresh_worker_win32.h"
#include "core/worker_thread.h"

namespace korvante {
bool StartRefreshWorker(const MainWindow& w, ConnectionMode mode, std::int32_t generation) {
  HWND window = w.hwnd;
  const bool started =
      StartWorkerThread([window, mode, generation] { RefreshTargets(window, mode, generation); });
  MarkStartupStep("refresh worker started");
  return started;
}

void StartHeldSearch(MainWindow& w) {
  if (!w.heldSearch) return;
  const MainWindow::HeldSearch held = *w.heldSearch;
  w.heldSearch.reset();
  if (!StartRefreshWorker(w, held.mode, held.generation)) {
    w.searches.Abandoned(held.mode);
    UpdateFindButton(w);
  }
}

void ApplySuggestions(MainWindow& w, bool force) {
  const Slot fields[] = {Slot::kLanIpField,  Slot::kLanMaskField,  Slot::kLanGatewayField,
                         Slot::kWifiIpField, Slot::kWifiMaskField, Slot::kWifiGatewayField};
  SuggestionFields current;
  std::u16string* texts[] = {&current.lanIp,  &current.lanMask,  &current.lanGateway,
                             &current.wifiIp, &current.wifiMask, &current.wifiGateway};
  for (int i = 0; i < 6; ++i) *texts[i] = ControlText(w.At(fields[i]));
  const SuggestionWrites writes = DecideSuggestions(w.profiles, force, current);
  const std::optional<std::u16string>* news[] = {&writes.lanIp,      &writes.lanMask,
                                                 &writes.lanGateway, &writes.wifiIp,
                                                 &writes.wifiMask,   &writes.wifiGateway};
  for (int i = 0; i < 6; ++i) {
    if (*news[i]) SetWindowTextW(w.At(fields[i]), WideText(**news[i]));
  }
}

void OnTargetsReady(MainWindow& w, LPARAM lParam) {
  std::unique_ptr<TargetsResult> result(reinterpret_cast<TargetsResult*>(lParam));
  if (!result) return;
  // A result of an older search, or of the mode the user has left, changes
  // nothing on screen; one that began before a printer moved makes way for
  // a new search.
  switch (w.searches.Finished(result->mode, result->generation, w.mode)) {
    case SearchTracker::ResultUse::kApply:
      break;
    case SearchTracker::ResultUse::kDrop:
      UpdateFindButton(w);
      return;
    case SearchTracker::ResultUse::kSearchAgain:
      StartRefresh(w);
      return;
  }

  if (result->mode == kModeNetwork) {
    w.networkPrinters = std::move(result->networkPrinters);
    w.profiles = std::move(result->profiles);
    ApplySuggestions(w, false);
  } else {
    w.usbPrinters = std::move(result->usbPrinters);
  }
  SetConnectionMode(w, result->mode, false);
  HWND list = w.At(Slot::kPrinterList);
  const std::optional<std::u16string> typed = PrinterTextToKeep(w);
  // Thousands of printers may answer one search: the list draws once, after
  // its last item, not after each (under Wine 3,000 items took 70 ms, 11 ms so).
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ResetPrinterBox(w);
  if (result->mode == kModeNetwork) {
    if (w.networkPrinters.empty()) AddListItem(list, NothingFoundItem(kModeNetwork));
    for (const NetworkPrinter& printer : w.networkPrinters)
      AddListItem(list, NetworkPrinterItem(printer));
  } else {
    if (w.usbPrinters.empty()) AddListItem(list, NothingFoundItem(kModeUsb));
    for (const UsbPrinter& printer : w.usbPrinters) AddListItem(list, UsbPrinterItem(printer));
  }
  // What the user typed is kept; otherwise the first item is selected.
  if (typed) {
    RestorePrinterText(w, *typed);
  } else if (SendMessageW(list, CB_GETCOUNT, 0, 0) > 0) {
    SelectPrinterItem(w, 0);
  }
  SelectMovedPrinter(w);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  UpdateFindButton(w);
  ShowLanTargetInfo(w);
  MarkStartupStep("result listed");
  WriteStartupTrace();
}

}  // namespace korvante
