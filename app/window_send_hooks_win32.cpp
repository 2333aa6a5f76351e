#include "app/window_send_hooks_win32.h"

#include <utility>

#include "app/window_texts.h"

namespace korvante {

SendJobHooks WindowSendHooks(HWND window, std::atomic<std::uint8_t>& busy,
                             std::function<void(std::u16string_view)> showMessage,
                             std::function<void(bool)> setBusy) {
  SendJobHooks hooks;
  hooks.busy = &busy;
  hooks.showMessage = std::move(showMessage);
  hooks.busyText = kSendBusyText;
  hooks.setBusy = std::move(setBusy);
  hooks.postOutcome = [window](SendOutcome* outcome) {
    return PostMessageW(window, kMsgSendDone, 0, reinterpret_cast<LPARAM>(outcome)) != FALSE;
  };
  return hooks;
}

}  // namespace korvante
