#include "transport/send_jobs.h"

#include <memory>
#include <utility>

#include "core/worker_thread.h"

namespace korvante {

namespace {

// Hands `text` to the window; frees it when the window could not take it.
bool PostOrFree(const std::function<bool(std::u16string*)>& post, std::u16string text) {
  auto outcome = std::make_unique<std::u16string>(std::move(text));
  if (!post(outcome.get())) return false;
  outcome.release();  // now the window's
  return true;
}

}  // namespace

void RunSendAsync(const SendJobHooks& hooks, SendJob job, std::u16string successText,
                  std::u16string failureText) {
  if (hooks.busy->exchange(1) == 1) {
    hooks.showMessage(kSendBusyText);
    return;  // `job` is destroyed here, never run
  }
  hooks.setBusy(true);

  // The worker owns everything it touches: the job, both texts and its own
  // copy of the post operation. The window is reached only through the post.
  MoveOnlyTask<void> body = [job = std::move(job), successText, failureText,
                             post = hooks.postOutcome]() mutable {
    const bool ok = job();
    PostOrFree(post, ok ? std::move(successText) : std::move(failureText));
  };

  const bool started =
      hooks.startThread ? hooks.startThread(std::move(body)) : StartWorkerThread(std::move(body));
  if (started) return;

  // No worker: the busy state must still end, through the usual message when
  // it can be posted, or right here when it cannot.
  if (PostOrFree(hooks.postOutcome, failureText)) return;
  hooks.busy->exchange(0);
  hooks.setBusy(false);
  hooks.showMessage(failureText);
}

}  // namespace korvante
