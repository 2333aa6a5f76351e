#include "transport/send_jobs.h"

#include <memory>
#include <utility>

#include "core/worker_thread.h"

namespace korvante {

namespace {

// Hands `outcome` to the window; frees it when the window could not take it.
bool PostOrFree(const std::function<bool(SendOutcome*)>& post, SendOutcome outcome) {
  auto owned = std::make_unique<SendOutcome>(std::move(outcome));
  if (!post(owned.get())) return false;
  owned.release();  // now the window's
  return true;
}

SendOutcome TextOutcome(std::u16string text) {
  SendOutcome outcome;
  outcome.text = std::move(text);
  return outcome;
}

}  // namespace

ReportingSendJob WithOutcomeTexts(SendJob job, std::u16string successText,
                                  std::u16string failureText) {
  return [job = std::move(job), successText = std::move(successText),
          failureText = std::move(failureText)]() mutable {
    return TextOutcome(job() ? std::move(successText) : std::move(failureText));
  };
}

void RunSendAsync(const SendJobHooks& hooks, SendJob job, std::u16string successText,
                  std::u16string failureText) {
  ReportingSendJob reporting =
      WithOutcomeTexts(std::move(job), std::move(successText), failureText);
  RunSendAsync(hooks, std::move(reporting), std::move(failureText));
}

void RunSendAsync(const SendJobHooks& hooks, ReportingSendJob job, std::u16string failureText) {
  if (hooks.busy->exchange(1) == 1) {
    hooks.showMessage(hooks.busyText);
    return;  // `job` is destroyed here, never run
  }
  hooks.setBusy(true);

  // The worker owns everything it touches: the job and its own copy of the
  // post operation. The window is reached only through the post.
  MoveOnlyTask<void> body = [job = std::move(job), post = hooks.postOutcome]() mutable {
    PostOrFree(post, job());
  };

  const bool started =
      hooks.startThread ? hooks.startThread(std::move(body)) : StartWorkerThread(std::move(body));
  if (started) return;

  // No worker: the busy state must still end, through the usual message when
  // it can be posted, or right here when it cannot.
  if (PostOrFree(hooks.postOutcome, TextOutcome(failureText))) return;
  hooks.busy->exchange(0);
  hooks.setBusy(false);
  hooks.showMessage(failureText);
}

}  // namespace korvante
