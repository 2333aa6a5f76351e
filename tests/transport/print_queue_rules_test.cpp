// The print-queue job rules over status words as the spooler reports them,
// the datatype chosen from a driver record, and the watch over a scripted
// spooler. Bit values are written out from the spooler's documented tables,
// not taken from the code's constants.
#include "transport/print_queue_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace korvante {
namespace {

using Job = std::optional<QueueJobState>;
using Queue = std::optional<QueueState>;

constexpr QueueState kReady{0, 0x40, 1};  // a local queue holding only this job
constexpr QueueState QueueWith(std::uint32_t status, std::uint32_t attributes = 0x40) {
  return {status, attributes, 1};
}
constexpr QueueJobState JobWith(std::uint32_t status, std::uint32_t position = 1) {
  return {status, position};
}

TEST(PrintQueueRules, QueueHoldsJobsForEveryTroubleAndNoBusyState) {
  // IO_ACTIVE BUSY PRINTING WAITING PROCESSING INITIALIZING WARMING_UP
  // TONER_LOW PAGE_PUNT POWER_SAVE DRIVER_UPDATE_NEEDED: a queue at work.
  const std::uint32_t working[] = {0x100,   0x200,   0x400,   0x2000,    0x4000,   0x8000,
                                   0x10000, 0x20000, 0x80000, 0x1000000, 0x4000000};
  // PAUSED ERROR PENDING_DELETION PAPER_JAM PAPER_OUT MANUAL_FEED
  // PAPER_PROBLEM OFFLINE OUTPUT_BIN_FULL NOT_AVAILABLE NO_TONER
  // USER_INTERVENTION OUT_OF_MEMORY DOOR_OPEN SERVER_UNKNOWN SERVER_OFFLINE.
  const std::uint32_t trouble[] = {0x1,      0x2,      0x4,      0x8,      0x10,    0x20,
                                   0x40,     0x80,     0x800,    0x1000,   0x40000, 0x100000,
                                   0x200000, 0x400000, 0x800000, 0x2000000};
  std::uint32_t all = 0;
  for (std::uint32_t bit : working) {
    all |= bit;
    EXPECT_FALSE(QueueHoldsJobs(QueueWith(bit))) << std::hex << bit;
  }
  EXPECT_FALSE(QueueHoldsJobs(QueueWith(all)));
  for (std::uint32_t bit : trouble) EXPECT_TRUE(QueueHoldsJobs(QueueWith(bit | all))) << bit;
  // "Use printer offline" (PRINTER_ATTRIBUTE_WORK_OFFLINE) holds jobs too.
  EXPECT_TRUE(QueueHoldsJobs(QueueWith(0, 0x40 | 0x400)));
}

TEST(PrintQueueRules, JudgesEachLookAtTheJob) {
  using enum JobVerdict;
  struct Case {
    const char* what;
    Job job;
    Queue queue;
    bool waitOver;
    JobVerdict expected;
  };
  const Case cases[] = {
      {"gone from the queue", std::nullopt, QueueWith(0x1), false, kPrinted},
      {"printed (0x80)", JobWith(0x80), kReady, false, kPrinted},
      {"complete (0x1000)", JobWith(0x1000), kReady, false, kPrinted},
      {"printed and being removed", JobWith(0x84), QueueWith(0x1), false, kPrinted},
      // Started: a queue paused since does not stop this job, but the port
      // monitor having its bytes is no success yet.
      {"printing (0x10)", JobWith(0x10), kReady, false, kWaiting},
      {"printing (0x10), queue paused", JobWith(0x10), QueueWith(0x1), false, kWaiting},
      {"still printing when the wait is over", JobWith(0x10), kReady, true, kStuck},
      {"printing in error (0x12)", JobWith(0x12), kReady, false, kStuck},
      {"printing, printer offline (0x30)", JobWith(0x30), kReady, false, kStuck},
      {"spooling, paper out (0x48)", JobWith(0x48), kReady, false, kStuck},
      {"job paused (0x1)", JobWith(0x1), kReady, false, kStuck},
      {"blocked device queue (0x200)", JobWith(0x200), kReady, false, kStuck},
      {"user intervention (0x400)", JobWith(0x400), kReady, false, kStuck},
      {"spooling (0x8)", JobWith(0x8), QueueWith(0x200 | 0x10000), false, kWaiting},
      {"spooling, queue paused", JobWith(0x8), QueueWith(0x1), false, kStuck},
      {"spooling, queue in error", JobWith(0x8), QueueWith(0x2), false, kStuck},
      {"spooling, used offline", JobWith(0x8), QueueWith(0, 0x440), false, kStuck},
      {"queued behind another", JobWith(0, 2), kReady, false, kWaiting},
      {"queue unreadable", JobWith(0x8), std::nullopt, false, kWaiting},
      // The wait is over and the job has not started.
      {"still spooling, queue ready", JobWith(0x8), kReady, true, kPrinted},
      {"still behind another", JobWith(0, 2), kReady, true, kStuck},
      {"no position, alone", JobWith(0x8, 0), kReady, true, kPrinted},
      {"no position, others queued", JobWith(0x8, 0), QueueState{0, 0x40, 3}, true, kStuck},
      {"queue unreadable at the end", JobWith(0x8), std::nullopt, true, kStuck},
      {"being deleted by someone (0x4)", JobWith(0x4), kReady, true, kStuck},
      {"deleted (0x100)", JobWith(0x100), kReady, true, kStuck},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeQueueJob(c.job, c.queue, c.waitOver), c.expected) << c.what;
  }
}

TEST(PrintQueueRules, DatatypeFollowsTheDriverRecord) {
  EXPECT_EQ(JobDatatypeFor(std::nullopt), u"RAW");  // driver record unreadable
  EXPECT_EQ(JobDatatypeFor(QueueDriver{0}), u"RAW");
  EXPECT_EQ(JobDatatypeFor(QueueDriver{0x1}), u"RAW");                   // PACKAGE_AWARE
  EXPECT_EQ(JobDatatypeFor(QueueDriver{0x2}), u"XPS_PASS");              // PRINTER_DRIVER_XPS
  EXPECT_EQ(JobDatatypeFor(QueueDriver{0x1 | 0x2 | 0x8}), u"XPS_PASS");  // a v4 class driver
  EXPECT_EQ(JobDatatypeFor(QueueDriver{~std::uint32_t{0x2}}), u"RAW");
}

constexpr std::uint32_t kGone = 0xFFFFFFFF;  // the spooler no longer lists the job

// A spooler played by a fake clock: the job's status from each time on, and
// once a delete was asked, `afterDelete`.
struct Script {
  using Steps = std::vector<std::pair<std::uint64_t, std::uint32_t>>;
  // A constructor rather than member defaults: g++ 12 warns falsely about
  // the vector of an aggregate whose later members take their defaults.
  Script(Steps steps, Queue queueState = kReady, bool accepts = true,
         std::uint32_t statusAfterDelete = kGone)
      : job(std::move(steps)),
        queue(queueState),
        acceptDelete(accepts),
        afterDelete(statusAfterDelete) {}
  Steps job;
  Queue queue;
  bool acceptDelete;
  std::uint32_t afterDelete;
};

TEST(PrintQueueRules, WatchConfirmsTakesBackOrLeavesTheJob) {
  using enum QueueJobOutcome;
  struct Case {
    const char* what;
    Script script;
    QueueJobOutcome expected;
    std::vector<std::uint64_t> deletes;  // when each delete was asked
    std::uint64_t endsAt;
  };
  const Case cases[] = {
      {"gone at once", {{{0, kGone}}}, kPrinted, {}, 0},
      {"printing at 200 ms, gone at 400",
       {{{0, 0x8}, {200, 0x10}, {400, kGone}}},
       kPrinted,
       {},
       400},
      {"printing, then printed", {{{0, 0x10}, {300, 0x90}}}, kPrinted, {}, 300},
      {"spooling for good, queue ready", {{{0, 0x8}}}, kPrinted, {}, 3000},
      {"paused queue", {{{0, 0x8}}, QueueWith(0x1)}, kTakenBack, {0}, 0},
      {"error after 1 s, gone once deleted", {{{0, 0x8}, {1000, 0x2}}}, kTakenBack, {1000}, 1000},
      {"queue unreadable", {{{0, 0x8}}, std::nullopt}, kTakenBack, {3000}, 3000},
      {"delete refused, still queued", {{{0, 0x2}}, kReady, false, 0x2}, kUnconfirmed, {0}, 0},
      {"delete refused, gone meanwhile", {{{0, 0x2}}, kReady, false}, kPrinted, {0}, 0},
      {"printed although deleted", {{{0, 0x2}}, kReady, true, 0x84}, kPrinted, {0}, 0},
      // Listed after the grace: the port monitor may still be writing it.
      {"still deleting", {{{0, 0x2}}, kReady, true, 0x4}, kUnconfirmed, {0}, 500},
      // An unplugged USB printer keeps its job in "Printing".
      {"printing at the watch's end, deleting",
       {{{0, 0x10}}, kReady, true, 0x14},
       kUnconfirmed,
       {3000},
       3500},
      {"printing at the watch's end, gone once deleted", {{{0, 0x10}}}, kUnconfirmed, {3000}, 3000},
      {"printing, then in error, gone once deleted",
       {{{0, 0x10}, {100, 0x12}}},
       kUnconfirmed,
       {100},
       100},
  };
  for (const Case& c : cases) {
    std::uint64_t now = 0;
    std::vector<std::uint64_t> deletes;
    QueueJobProbe probe;
    probe.readJob = [&]() -> Job {
      std::uint32_t status = c.script.afterDelete;
      if (deletes.empty()) {
        for (const auto& [from, s] : c.script.job) status = from <= now ? s : status;
      }
      return status == kGone ? Job() : Job(JobWith(status));
    };
    probe.readQueue = [&] { return c.script.queue; };
    probe.deleteJob = [&] {
      deletes.push_back(now);
      return c.script.acceptDelete;
    };
    probe.sleep = [&](unsigned ms) {
      EXPECT_GT(ms, 0u) << c.what;  // a zero sleep would spin
      now += ms;
    };
    probe.nowMs = [&] { return now; };
    EXPECT_EQ(WatchQueueJob(probe), c.expected) << c.what;
    EXPECT_EQ(deletes, c.deletes) << c.what;
    EXPECT_EQ(now, c.endsAt) << c.what;
  }
}

}  // namespace
}  // namespace korvante
