// RunSendAsync over a recording window: one job at a time, refusals, outcome
// texts and their ownership, and a worker that cannot be started.
#include "transport/send_jobs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Where LeakSanitizer runs (the host build), a test can ask it directly.
#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define KV_HAVE_LEAK_CHECK 1
#else
#define KV_HAVE_LEAK_CHECK 0
#endif

namespace korvante {
namespace {

using namespace std::chrono_literals;

// Stands in for the main window: records what it was shown and what was
// posted to it, and handles an outcome the way the window procedure must.
class RecordingWindow {
 public:
  SendJobHooks hooks() {
    SendJobHooks h;
    h.busy = &busy;
    h.showMessage = [this](std::u16string_view text) { shown.emplace_back(text); };
    h.busyText = u"Đang gửi lệnh, vui lòng đợi.";
    h.setBusy = [this](bool on) { busyCalls.push_back(on); };
    // The mailbox is shared with the workers, which may still be leaving
    // the post when a test ends.
    h.postOutcome = [box = box_, refuse = refusePosts](SendOutcome* outcome) {
      std::lock_guard lock(box->mutex);
      if (refuse) {
        box->refused.push_back(outcome->text);  // read, never kept: still the sender's
      } else {
        box->posted.emplace_back(outcome);
      }
      box->arrived.notify_all();
      return !refuse;
    };
    return h;
  }

  // Waits for the next posted outcome and handles it: flag cleared by
  // exchange, busy off, text shown. Empty string when none came in time.
  std::u16string takeOutcome() { return takeWhole().text; }
  SendOutcome takeWhole() {
    std::unique_ptr<SendOutcome> outcome;
    {
      std::unique_lock lock(box_->mutex);
      if (!box_->arrived.wait_for(lock, 30s, [&] { return !box_->posted.empty(); })) return {};
      outcome = std::move(box_->posted.front());
      box_->posted.erase(box_->posted.begin());
    }
    busy.exchange(0);
    busyCalls.push_back(false);
    shown.push_back(outcome->text);
    return std::move(*outcome);
  }

  std::size_t pending() {
    std::lock_guard lock(box_->mutex);
    return box_->posted.size();
  }

  // The texts of the posts that were refused, once `count` have come in.
  std::vector<std::u16string> refused(std::size_t count) {
    std::unique_lock lock(box_->mutex);
    box_->arrived.wait_for(lock, 30s, [&] { return box_->refused.size() >= count; });
    return box_->refused;
  }

  std::atomic<std::uint8_t> busy{0};
  std::vector<std::u16string> shown;
  std::vector<bool> busyCalls;
  bool refusePosts = false;  // read when hooks() is called

 private:
  struct Mailbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::unique_ptr<SendOutcome>> posted;
    std::vector<std::u16string> refused;
  };
  std::shared_ptr<Mailbox> box_ = std::make_shared<Mailbox>();
};

TEST(SendJobs, OutcomeTextFollowsTheJobsResult) {
  for (const bool result : {true, false}) {
    RecordingWindow window;
    RunSendAsync(
        window.hooks(), [result] { return result; }, u"Đã lưu.", u"Lỗi gửi.");
    EXPECT_EQ(window.busy.load(), 1);
    EXPECT_EQ(window.takeOutcome(), result ? u"Đã lưu." : u"Lỗi gửi.");
    EXPECT_EQ(window.busy.load(), 0);
    EXPECT_EQ(window.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(window.shown.size(), 1u);
  }
}

TEST(SendJobs, SecondJobWhileBusyIsRefusedAndNeverRuns) {
  RecordingWindow window;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> secondRuns{0};

  RunSendAsync(
      window.hooks(),
      [released] {
        released.wait();
        return true;
      },
      u"first done", u"first failed");

  auto refusedClosure = std::make_shared<int>(0);
  RunSendAsync(
      window.hooks(),
      [&secondRuns, refusedClosure] {
        ++secondRuns;
        return true;
      },
      u"second done", u"second failed");
  // Refused at once: shown the busy text, its closure already destroyed.
  ASSERT_EQ(window.shown, (std::vector<std::u16string>{u"Đang gửi lệnh, vui lòng đợi."}));
  EXPECT_EQ(refusedClosure.use_count(), 1);
  EXPECT_EQ(window.busy.load(), 1);
  EXPECT_EQ(window.busyCalls, (std::vector<bool>{true}));

  release.set_value();
  EXPECT_EQ(window.takeOutcome(), u"first done");
  // A later job runs; the refused one still does not.
  RunSendAsync(
      window.hooks(), [] { return false; }, u"third done", u"third failed");
  EXPECT_EQ(window.takeOutcome(), u"third failed");
  EXPECT_EQ(secondRuns.load(), 0);
  EXPECT_EQ(window.pending(), 0u);
}

TEST(SendJobs, BusyStaysUntilTheWindowTakesTheOutcome) {
  RecordingWindow window;
  RunSendAsync(
      window.hooks(), [] { return true; }, u"ok", u"failed");
  // Wait until the worker has posted, without handling the message yet.
  for (int i = 0; i < 3000 && window.pending() == 0; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(window.pending(), 1u);
  RunSendAsync(
      window.hooks(), [] { return true; }, u"again", u"failed");
  EXPECT_EQ(window.shown.back(), u"Đang gửi lệnh, vui lòng đợi.");
  EXPECT_EQ(window.takeOutcome(), u"ok");
}

TEST(SendJobs, WorkerStateIsDestroyedAfterTheRun) {
  RecordingWindow window;
  auto closure = std::make_shared<int>(0);
  std::weak_ptr<int> watch = closure;
  RunSendAsync(
      window.hooks(), [closure = std::move(closure)] { return true; }, u"ok", u"no");
  EXPECT_EQ(window.takeOutcome(), u"ok");
  for (int i = 0; i < 3000 && !watch.expired(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(watch.expired());
}

TEST(SendJobs, RefusedOutcomeIsOfferedOnceAndFreed) {
  RecordingWindow window;
  window.refusePosts = true;
  auto closure = std::make_shared<int>(0);
  std::weak_ptr<int> workerState = closure;
  RunSendAsync(
      window.hooks(), [closure = std::move(closure)] { return true; }, u"ok", u"no");
  EXPECT_EQ(window.refused(1), (std::vector<std::u16string>{u"ok"}));
  // The worker is done once its state is gone; it offered nothing more.
  for (int i = 0; i < 3000 && !workerState.expired(); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(workerState.expired());
  EXPECT_EQ(window.refused(1).size(), 1u);
  EXPECT_EQ(window.pending(), 0u);
#if KV_HAVE_LEAK_CHECK
  // The refused text is the worker's to free: nothing may be left unreachable.
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

TEST(SendJobs, WorkerThatCannotStartStillEndsTheBusyState) {
  RecordingWindow window;
  SendJobHooks hooks = window.hooks();
  bool ran = false;
  hooks.startThread = [](MoveOnlyTask<void>&&) { return false; };
  RunSendAsync(
      hooks,
      [&ran] {
        ran = true;
        return true;
      },
      u"ok", u"failed");
  EXPECT_FALSE(ran);
  // The failure arrives as the usual message, so the window ends busy as always.
  EXPECT_EQ(window.busy.load(), 1);
  EXPECT_EQ(window.takeOutcome(), u"failed");
  EXPECT_EQ(window.busy.load(), 0);

  // When even that post fails, the window's handling is done in place.
  RecordingWindow unreachable;
  unreachable.refusePosts = true;
  SendJobHooks h2 = unreachable.hooks();
  h2.startThread = [](MoveOnlyTask<void>&&) { return false; };
  RunSendAsync(
      h2, [] { return true; }, u"ok", u"failed");
  EXPECT_EQ(unreachable.busy.load(), 0);
  EXPECT_EQ(unreachable.busyCalls, (std::vector<bool>{true, false}));
  EXPECT_EQ(unreachable.shown, (std::vector<std::u16string>{u"failed"}));
}

// A job that makes its own outcome hands the window all of it, the job its
// question would start included.
TEST(SendJobs, AReportingJobsWholeOutcomeReachesTheWindow) {
  RecordingWindow window;
  RunSendAsync(
      window.hooks(),
      [] {
        return SendOutcome{u"moved", PrinterToSelect{"00-1A-2B-3C-4D-5E", "10.30.0.222"}, u"go on?",
                           [] {
                             return SendOutcome{u"again", {}, {}, {}, {}};
                           },
                           u"not again"};
      },
      u"failed");
  SendOutcome outcome = window.takeWhole();
  EXPECT_EQ(outcome.text, u"moved");
  ASSERT_TRUE(outcome.selectAfterSearch);
  EXPECT_EQ(outcome.selectAfterSearch->ip, "10.30.0.222");
  EXPECT_EQ(outcome.question, u"go on?");
  EXPECT_EQ(outcome.onYesFailure, u"not again");
  ASSERT_TRUE(outcome.onYes);
  EXPECT_EQ(outcome.onYes().text, u"again");
}

TEST(SendJobs, MoveOnlyTaskOwnsItsClosure) {
  auto owned = std::make_unique<int>(41);
  MoveOnlyTask<bool> task = [p = std::move(owned)] { return *p == 41; };
  MoveOnlyTask<bool> moved = std::move(task);
  EXPECT_FALSE(static_cast<bool>(task));  // NOLINT(bugprone-use-after-move)
  ASSERT_TRUE(static_cast<bool>(moved));
  EXPECT_TRUE(moved());
}

}  // namespace
}  // namespace korvante
