// The sweeps of several networks run at the same time, not one after another.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "discovery/tcp_sweep.h"

namespace korvante {
namespace {

TEST(SweepSideBySide, EveryNetworkSweepsAtOnceAndResultsKeepTheNetworkOrder) {
  std::vector<NetworkProfile> networks(4);
  for (int i = 0; i < 4; ++i) networks[i].ip = "10." + std::to_string(i) + ".0.2";
  // Each sweep waits until all four have started: one after another they
  // would wait out the limit and report nothing.
  std::mutex mutex;
  std::condition_variable allStarted;
  int started = 0;
  const auto sweep = [&](const NetworkProfile& p) {
    std::unique_lock<std::mutex> lock(mutex);
    ++started;
    allStarted.notify_all();
    if (!allStarted.wait_for(lock, std::chrono::seconds(5), [&] { return started == 4; })) {
      return std::vector<NetworkPrinter>{};
    }
    NetworkPrinter found;
    found.ip = NetworkPrefix(p.ip) + ".9";
    return std::vector<NetworkPrinter>{found};
  };
  const auto found = SweepEveryNetwork(networks, sweep);
  ASSERT_EQ(found.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(found[i].ip, "10." + std::to_string(i) + ".0.9");
  EXPECT_TRUE(SweepEveryNetwork({}, sweep).empty());
}

}  // namespace
}  // namespace korvante
