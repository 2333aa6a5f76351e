// The send jobs bound to the main window: outcomes arrive as kMsgSendDone.
//
// The window owns the send-busy flag (a std::atomic<std::uint8_t>, 0 at start)
// and passes it in; it must outlive every worker, which the main window does.
//
// What the window procedure must do on kMsgSendDone (WM_APP + 11, wParam 0):
//   1. busy.exchange(0);            // clear the flag by atomic exchange
//   2. set busy off (re-enable the save and test buttons, find button "Tìm");
//   3. auto outcome = TakeSendOutcome(lParam);  // takes ownership; null lParam gives null
//      if (outcome) FollowUpSend(window, *outcome);  // its text, search and question
//   4. return 0.
// The flag is cleared before the text is shown: the busy state ends when the
// outcome is taken in, not when the message box is closed.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/window_messages_win32.h"

#include "transport/send_jobs.h"

namespace korvante {

// Hooks that post outcomes to `window` as kMsgSendDone with a heap
// SendOutcome* in lParam. showMessage and setBusy are the window's own, and
// so is the busy text (kSendBusyText) shown when a job is refused.
SendJobHooks WindowSendHooks(HWND window, std::atomic<std::uint8_t>& busy,
                             std::function<void(std::u16string_view)> showMessage,
                             std::function<void(bool)> setBusy);

// A save action then calls, on the window thread:
//   RunSendAsync(hooks, OrdinarySendJob{target, bytes}, successText, failureText);

// The outcome of a kMsgSendDone message, owned by the caller from now on.
inline std::unique_ptr<SendOutcome> TakeSendOutcome(LPARAM lParam) {
  return std::unique_ptr<SendOutcome>(reinterpret_cast<SendOutcome*>(lParam));
}

}  // namespace korvante
