// The two messages that workers post to the main window. lParam is a heap
// object that the window takes over from the moment the post succeeds: the
// refresh worker's TargetsResult (discovery/refresh.h), or a send job's
// SendOutcome (transport/send_jobs.h, posted through window_send_hooks_win32.h).
// And the one that creation posts to the window itself: start the worker of
// the search it held back, once the window has painted.
#pragma once

#include <windows.h>

namespace korvante {

inline constexpr UINT kMsgTargetsReady = WM_APP + 10;
inline constexpr UINT kMsgSendDone = WM_APP + 11;
inline constexpr UINT kMsgStartHeldSearch = WM_APP + 12;

}  // namespace korvante
