// The refresh worker's start and result, and the save actions behind the
// six save and test buttons. UI thread only.
#pragma once

#include <windows.h>

#include "app/main_window_win32.h"

namespace korvante {

// Starts the background refresh of the current mode with its generation.
void StartRefreshWorker(MainWindow& w, std::int32_t generation);
// WM_APP_TARGETS_READY: takes over the result in lParam.
void OnTargetsReady(MainWindow& w, LPARAM lParam);

void SaveLan(MainWindow& w);
void SaveWifi(MainWindow& w);
void SaveQueue(MainWindow& w);
void SaveBeep(MainWindow& w, bool test);
void SaveDensity(MainWindow& w);

}  // namespace korvante
