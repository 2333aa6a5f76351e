// StartWorkerThread: every worker runs its job, even one started the moment
// the one before has ended, and the thread destroys the job afterwards.
#include "core/worker_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace korvante {
namespace {

using namespace std::chrono_literals;

// What the workers report to the test, shared so that a late worker never
// outlives it.
struct Reports {
  std::mutex mutex;
  std::condition_variable changed;
  int ran = 0;
};

TEST(WorkerThread, BackToBackWorkersAllRunAndFreeTheirJobs) {
  auto reports = std::make_shared<Reports>();
  constexpr int kWorkers = 1500;
  for (int i = 1; i <= kWorkers; ++i) {
    auto job = std::make_shared<int>(i);
    std::weak_ptr<int> watch = job;
    ASSERT_TRUE(StartWorkerThread([reports, job = std::move(job)] {
      std::lock_guard lock(reports->mutex);
      reports->ran += *job > 0 ? 1 : 0;
      reports->changed.notify_all();
    }));
    std::unique_lock lock(reports->mutex);
    ASSERT_TRUE(reports->changed.wait_for(lock, 30s, [&] { return reports->ran == i; }))
        << "worker " << i << " never ran its job";
    lock.unlock();
    // The worker is still leaving; its job goes with it.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!watch.expired() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
    ASSERT_TRUE(watch.expired()) << "worker " << i << " kept its job";
  }
}

}  // namespace
}  // namespace korvante
