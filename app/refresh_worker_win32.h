// The refresh worker: finds the printers of one connection mode and posts them
// to the main window. It joins the USB enumeration and network discovery, the
// two layers below the window that stand beside each other.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/window_messages_win32.h"

#include "core/printer_records.h"

namespace korvante {

// Runs one refresh on the calling thread (the window starts it on a detached
// thread) and posts kMsgTargetsReady with a new TargetsResult in lParam. The
// window takes the result over; if the post fails (the window is gone) the
// result is freed here. Touches no window state.
void RefreshTargets(HWND window, ConnectionMode mode, std::int32_t generation);

}  // namespace korvante
