// The refresh worker's start and result, the address suggestions, and the save
// actions behind the six save and test buttons. UI thread only.
#pragma once

#include <windows.h>

#include <optional>

#include "app/lan_job.h"
#include "app/main_window_win32.h"
#include "app/printer_box.h"

namespace korvante {

// Starts the background refresh of a mode with its generation; false when
// no thread could be started.
bool StartRefreshWorker(const MainWindow& w, ConnectionMode mode, std::int32_t generation);
// WM_APP_TARGETS_READY: takes over the result in lParam.
void OnTargetsReady(MainWindow& w, LPARAM lParam);

// Fills the six address fields of the LAN and WiFi pages from the profile
// list: all of them when forced, otherwise only those still holding a
// suggestion.
void ApplySuggestions(MainWindow& w, bool force);

// What the printer box names in the current mode: its selection, or in LAN /
// Wi-Fi mode the address typed into it.
PrinterBoxChoice ResolvePrinterBoxOf(const MainWindow& w);

// The send-job hooks of the window: outcomes come back as kMsgSendDone.
SendJobHooks SendHooksOf(MainWindow& w);

// "Lưu IP" (lan_change_win32.cpp): the checks, the questions, then the job.
void SaveLan(MainWindow& w);
void SaveWifi(MainWindow& w);
void SaveQueue(MainWindow& w);
void SaveBeep(MainWindow& w, bool test);
void SaveDensity(MainWindow& w);
// "In thông tin IP": the information slip of the selected printer.
void PrintInfo(MainWindow& w);
// The LAN page's texts on the printer the box names: what it reported of
// itself, and whether it takes mask and gateway. Kept up to date with the box.
void ShowLanTargetInfo(MainWindow& w);

// The real sockets and waits of the LAN job.
LanJobHooks WindowsLanJobHooks();

}  // namespace korvante
