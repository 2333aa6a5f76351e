// Send jobs: every command leaves the window thread as a job run on a detached
// worker, one at a time, whose outcome comes back to the window.
//
// This header is the portable core, driven through SendJobHooks so that it is
// tested without a window; app/window_send_hooks_win32.h binds it to the main
// window.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/printer_records.h"
#include "core/move_only_task.h"

namespace korvante {

// A send job: runs once on the worker, true when the printer took every byte.
using SendJob = MoveOnlyTask<bool>;

// A printer to select once the next search has listed it: by its MAC when it
// has one, else by its address.
struct PrinterToSelect {
  std::string mac;
  std::string ip;
};

// What the window takes in once a job has run. An ordinary job's outcome is
// its success or failure text alone; a job that decides more (the address
// change) adds what the window does next.
struct SendOutcome {
  std::u16string text;  // shown in a message; nothing is shown when empty
  // Search the network again and select this printer in the new list.
  std::optional<PrinterToSelect> selectAfterSearch;
  // Asked (Yes / No, No the default) after the text; Yes hands `onYes` to
  // RunSendAsync as a new job, with `onYesFailure` as its failure text.
  std::u16string question;
  MoveOnlyTask<SendOutcome> onYes;
  std::u16string onYesFailure;
};

// A job that makes its own outcome.
using ReportingSendJob = MoveOnlyTask<SendOutcome>;

// An ordinary job as one that makes its own outcome: its success or failure
// text.
ReportingSendJob WithOutcomeTexts(SendJob job, std::u16string successText,
                                  std::u16string failureText);

// What RunSendAsync needs from the window and the platform.
struct SendJobHooks {
  // The window's send-busy flag: 0 idle, 1 from the moment a job is accepted
  // until the window has taken in its outcome. Owned by the window, which
  // outlives every worker; RunSendAsync sets it, only the window clears it.
  std::atomic<std::uint8_t>* busy = nullptr;
  // Window thread: the show-message operation, and the busy controls on/off.
  std::function<void(std::u16string_view text)> showMessage;
  // What showMessage says when a job is refused because one runs.
  std::u16string_view busyText;
  std::function<void(bool on)> setBusy;
  // Any thread: posts the outcome to the window. On true the outcome belongs
  // to the window; on false the caller still owns it and frees it.
  std::function<bool(SendOutcome* outcome)> postOutcome;
  // Starts `body` on a new detached thread; false when no thread could be
  // started. Empty: StartWorkerThread.
  std::function<bool(MoveOnlyTask<void>&& body)> startThread;
};

// Window thread only; never waits for the job. When a job is already running
// it shows the busy text and destroys `job` without running it (nothing is
// queued). Otherwise it sets the flag and the busy controls and runs the job on
// a detached worker, which posts a copy of successText or failureText.
//
// Should no worker start, the failure text is posted from here so the window
// still leaves its busy state the usual way; should even that post fail, the
// window's handling is done in place (flag cleared, busy off, text shown).
void RunSendAsync(const SendJobHooks& hooks, SendJob job, std::u16string successText,
                  std::u16string failureText);

// The same for a job that makes its own outcome; `failureText` is the
// outcome should no worker start.
void RunSendAsync(const SendJobHooks& hooks, ReportingSendJob job, std::u16string failureText);

}  // namespace korvante
