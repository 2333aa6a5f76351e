// The main window procedure: command dispatch, refreshes of the printer list
// and the outcome of send jobs.
#include <windowsx.h>

#include <memory>
#include <string>

#include "app/main_window_win32.h"
#include "app/refresh_window_win32.h"
#include "app/save_actions_win32.h"
#include "app/window_texts.h"
#include "app/window_send_hooks_win32.h"

namespace korvante {
namespace {

void OnCommand(MainWindow& w, int command, int notification, HWND sender) {
  const CommandDecision decision = ClassifyCommand(command, notification);
  switch (decision.action) {
    case CommandAction::kRefresh:
      StartRefresh(w);
      return;
    case CommandAction::kSaveLan:
      SaveLan(w);
      return;
    case CommandAction::kSaveWifi:
      SaveWifi(w);
      return;
    case CommandAction::kSaveQueue:
      SaveQueue(w);
      return;
    case CommandAction::kTestBeep:
      SaveBeep(w, true);
      return;
    case CommandAction::kSaveBeep:
      SaveBeep(w, false);
      return;
    case CommandAction::kSaveDensity:
      SaveDensity(w);
      return;
    case CommandAction::kToggleContent:
      w.contentShown = !w.contentShown;
      ApplyContentShown(w);
      return;
    case CommandAction::kShowPage:
      ShowPage(w, decision.argument);
      return;
    case CommandAction::kLineStyle:
      OnLineStyleCommand(w, decision.argument, decision.sub);
      return;
    case CommandAction::kCounterSize:
      UpdateCounterPreviewFont(w);
      return;
    case CommandAction::kPrintInfo:
      PrintInfo(w);
      return;
    case CommandAction::kNone:
      return;
    case CommandAction::kOther:
      break;
  }
  // The radios and the printer box are known by handle; clicking the
  // selected radio refreshes too.
  if (sender && sender == w.At(Slot::kPrinterList)) {
    OnPrinterBoxNotification(w, notification);
  } else if (sender && sender == w.At(Slot::kLanRadio)) {
    StartRefresh(w, kModeNetwork);
  } else if (sender && sender == w.At(Slot::kUsbRadio)) {
    StartRefresh(w, kModeUsb);
  }
}

// The focus leaves with the window and comes back to the same control, as
// in a dialog. True when the focus was put back.
bool OnActivate(MainWindow& w, WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    w.lastFocus = focus && IsChild(w.hwnd, focus) ? focus : nullptr;
    return false;
  }
  if (HIWORD(wParam) != 0) return false;  // activated while minimised
  HWND back = w.lastFocus;
  if (!back || !IsWindow(back) || !IsChild(w.hwnd, back) || !IsWindowVisible(back) ||
      !IsWindowEnabled(back)) {
    return false;
  }
  SetFocus(back);
  return true;
}

// A close asked for while a send runs waits for it, however long the job's
// own limits allow; should a job hang past all of them (a spooler call has
// none), the window still closes after this long.
constexpr UINT_PTR kCloseBackstopTimer = 1;
constexpr UINT kCloseBackstopMs = 20000;

// WM_CLOSE: at once when idle. During a send the process would end with the
// window and cut the send short, a ticket program in the middle: the window
// says that it waits, and closes once the outcome is in.
void OnClose(MainWindow& w) {
  if (w.sendBusy == 0) {
    DestroyWindow(w.hwnd);
    return;
  }
  if (w.closeAfterSend) return;
  w.closeAfterSend = true;
  SetWindowTextW(w.hwnd, WideText(kClosingAfterSendTitle));
  SetTimer(w.hwnd, kCloseBackstopTimer, kCloseBackstopMs, nullptr);
}

void OnSendDone(MainWindow& w, LPARAM lParam) {
  std::unique_ptr<SendOutcome> outcome = TakeSendOutcome(lParam);
  w.sendBusy.exchange(0);
  SetBusy(w, false);
  if (!w.closeAfterSend) {
    if (outcome) FollowUpSend(w, *outcome);
    return;
  }
  KillTimer(w.hwnd, kCloseBackstopTimer);
  // The outcome is shown even when the window is about to close: whether the
  // printer took the command is what the user waited for. Nothing follows it:
  // no search, and no question that would start another send.
  if (outcome && !outcome->text.empty()) ShowMessage(w, outcome->text);
  DestroyWindow(w.hwnd);
}

}  // namespace

void StartRefresh(MainWindow& w, std::optional<ConnectionMode> switchTo, bool fresh) {
  const ConnectionMode mode = switchTo.value_or(w.mode);
  // The box shows no printer while it searches: a save pressed now must not
  // reach the first printer of the last list.
  if (mode == kModeNetwork) {
    w.networkPrinters.clear();
  } else {
    w.usbPrinters.clear();
  }
  const bool start = w.searches.Ask(mode, fresh) == SearchTracker::Request::kStart;
  std::int32_t generation = 0;
  if (start) {
    generation = w.refreshGeneration.fetch_add(1) + 1;
    w.searches.Started(mode, generation);
  }
  // A LAN / Wi-Fi search listens for 900 ms: it starts before the window
  // shows it, as making the printer box again for the mode and laying the
  // window out take tens of milliseconds under Wine, which the listening then
  // hides. A USB search takes milliseconds and starts after, as it always did.
  std::optional<bool> started;
  if (start && mode == kModeNetwork) started = StartRefreshWorker(w, mode, generation);
  if (switchTo) SetConnectionMode(w, mode, true);
  // An address the user typed stays while the search runs, and after it.
  const std::optional<std::u16string> typed = PrinterTextToKeep(w);
  SetConnectionMode(w, w.mode, true);
  HWND list = w.At(Slot::kPrinterList);
  AddListItem(list, SearchingItem(w.mode));
  if (typed) {
    RestorePrinterText(w, *typed);
  } else {
    SelectPrinterItem(w, 0);
  }
  UpdateWindow(list);
  if (start && !started) {
    if (w.holdSearchWorker) {
      w.heldSearch = MainWindow::HeldSearch{mode, generation};  // StartHeldSearch starts it
    } else {
      started = StartRefreshWorker(w, mode, generation);
    }
  }
  // No thread, no result: the list keeps its placeholder and the find button
  // starts the next try.
  if (started && !*started) w.searches.Abandoned(mode);
  UpdateFindButton(w);
  ShowLanTargetInfo(w);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Needs no state, and the first one arrives before WM_NCCREATE: creation
  // clamps the window's starting size with that answer.
  if (message == WM_GETMINMAXINFO) {
    SetMinimumSize(hwnd, *reinterpret_cast<MINMAXINFO*>(lParam));
    return 0;
  }
  if (message == WM_NCCREATE) {
    auto* state =
        static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    state->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  auto* w = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);

  if (LRESULT result = 0; AnswerChildPaint(*w, hwnd, message, wParam, lParam, result)) {
    return result;
  }
  switch (message) {
    case WM_CREATE:
      w->hwnd = hwnd;
      OnCreate(*w);
      return 0;
    case WM_CLOSE:
      OnClose(*w);
      return 0;
    case WM_TIMER:
      if (wParam == kCloseBackstopTimer && w->closeAfterSend) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      OnDestroy(*w);
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) return 0;
      // Creation laid the window out at this size already; the first
      // ShowWindow reports it again (about 35 ms of moves under Wine).
      if (LOWORD(lParam) == w->laidOutClient.cx && HIWORD(lParam) == w->laidOutClient.cy) return 0;
      LayOutWindow(*w);
      RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintMainWindow(*w, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintMainWindow(*w, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      OnCommand(*w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (OnActivate(*w, wParam)) return 0;
      break;
    case WM_SYSCOLORCHANGE:
      OnSystemColoursChanged(*w);
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) ApplyColourScheme(*w, true);
      break;
    case kMsgTargetsReady:
      OnTargetsReady(*w, lParam);
      return 0;
    case kMsgSendDone:
      OnSendDone(*w, lParam);
      return 0;
    case kMsgStartHeldSearch:
      StartHeldSearch(*w);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace korvante
