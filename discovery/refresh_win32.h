// The refresh worker: finds the printers of one connection mode and posts them
// to the main window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "discovery/printer_records.h"

namespace korvante {

// Runs one refresh on the calling thread (the window starts it on a detached
// thread) and posts kMsgTargetsReady with a new TargetsResult in lParam. The
// window takes the result over; if the post fails (the window is gone) the
// result is freed here. Touches no window state.
void RefreshTargets(HWND window, ConnectionMode mode, std::int32_t generation);

}  // namespace korvante
