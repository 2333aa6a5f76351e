// The window's side of a refresh: the worker's start, its result, and the
// address suggestions drawn from the profiles it brings. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/main_window_win32.h"

namespace korvante {

// Starts the background refresh of a mode with its generation; false when
// no thread could be started.
bool StartRefreshWorker(const MainWindow& w, ConnectionMode mode, std::int32_t generation);
// kMsgStartHeldSearch: starts the worker of the search that creation held
// back; without a thread the search ends as one that could not start.
void StartHeldSearch(MainWindow& w);
// kMsgTargetsReady: takes over the result in lParam.
void OnTargetsReady(MainWindow& w, LPARAM lParam);

// Fills the six address fields of the LAN and WiFi pages from the profile
// list: all of them when forced, otherwise only those still holding a
// suggestion.
void ApplySuggestions(MainWindow& w, bool force);

}  // namespace korvante
