#include "discovery/neighbours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvante {
namespace {

using namespace std::chrono_literals;

constexpr char kPrinter[] = "00-1A-2B-3C-4D-5E";

TEST(Neighbours, VerdictOfOneRow) {
  using enum NeighbourState;
  using enum NeighbourVerdict;
  struct Case {
    NeighbourState state;
    const char* mac;
    NeighbourVerdict verdict;
  };
  const Case cases[] = {
      {kReachable, "00-1A-2B-00-00-1E", kHeld},
      {kStale, "00-1A-2B-00-00-1E", kHeld},  // remembered: it held the address lately
      {kDelay, "00-1A-2B-00-00-1E", kHeld},
      {kProbe, "00-1A-2B-00-00-1E", kHeld},
      {kPermanent, "00-1A-2B-00-00-1E", kHeld},
      {kReachable, "00-1a-2b-3c-4d-5e", kOwnPrinter},  // the printer being changed
      {kStale, kPrinter, kOwnPrinter},
      {kIncomplete, "00-1A-2B-00-00-1E", kUnresolved},
      {kUnreachable, "00-1A-2B-00-00-1E", kUnresolved},
      {kReachable, "00-00-00-00-00-00", kUnresolved},  // nobody answered (Wine's row)
      {kReachable, "", kUnresolved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.state)) + " " + c.mac);
    EXPECT_EQ(JudgeNeighbour({c.state, c.mac}, kPrinter), c.verdict);
  }
  // Without a MAC of its own (a USB printer) every named device holds it.
  EXPECT_EQ(JudgeNeighbour({kReachable, kPrinter}, ""), kHeld);
}

// A table whose row for the address resolves `answersAfter` after the
// datagram went out; the clock moves only with the check's own sleeps.
struct FakeTable {
  std::optional<std::chrono::milliseconds> answersAfter;
  std::string mac = "00-1A-2B-00-00-1E";
  MonotonicClock::time_point clock{};
  std::optional<MonotonicClock::time_point> probedAt;
  int probes = 0;
  int reads = 0;

  NeighbourHooks Hooks() {
    NeighbourHooks hooks;
    hooks.sendProbe = [this](const std::string& ip) {
      EXPECT_EQ(ip, "192.168.77.30");
      ++probes;
      probedAt = clock;
    };
    hooks.read = [this](const std::string&) {
      ++reads;
      NeighbourEntry row{NeighbourState::kIncomplete, "00-00-00-00-00-00"};
      if (probedAt && answersAfter && clock - *probedAt >= *answersAfter) {
        row = {NeighbourState::kReachable, mac};
      }
      return std::vector<NeighbourEntry>{row};
    };
    hooks.sleep = [this](std::chrono::milliseconds ms) { clock += ms; };
    hooks.now = [this] { return clock; };
    return hooks;
  }
};

TEST(Neighbours, TheCheckEndsWhenTheAddressResolvesAndNeverPassesItsLimit) {
  struct Case {
    std::optional<std::chrono::milliseconds> answersAfter;
    std::string mac;
    std::optional<std::string> holder;
    std::chrono::milliseconds atMost;
  };
  const Case cases[] = {
      {3ms, "00-1A-2B-00-00-1E", "00-1A-2B-00-00-1E", 25ms},
      {300ms, "00-1A-2B-00-00-1E", "00-1A-2B-00-00-1E", 325ms},
      {3ms, kPrinter, std::nullopt, 25ms},                // the printer itself: no conflict
      {std::nullopt, "", std::nullopt, 440ms},            // a free address costs the limit
      {450ms, "00-1A-2B-00-00-1E", std::nullopt, 440ms},  // too late to count
  };
  for (const Case& c : cases) {
    FakeTable table;
    table.answersAfter = c.answersAfter;
    table.mac = c.mac;
    EXPECT_EQ(FindAddressHolder("192.168.77.30", kPrinter, table.Hooks()), c.holder);
    EXPECT_EQ(table.probes, 1);
    EXPECT_LE(table.clock - MonotonicClock::time_point{}, c.atMost);
    EXPECT_GE(table.reads, 2);
  }
}

}  // namespace
}  // namespace korvante
