#include "transport/print_queue_rules.h"

namespace korvante {

namespace {

using namespace spooler;

constexpr std::uint32_t kQueueTrouble =
    kPrinterPaused | kPrinterError | kPrinterPendingDeletion | kPrinterPaperJam | kPrinterPaperOut |
    kPrinterManualFeed | kPrinterPaperProblem | kPrinterOffline | kPrinterOutputBinFull |
    kPrinterNotAvailable | kPrinterNoToner | kPrinterUserIntervention | kPrinterOutOfMemory |
    kPrinterDoorOpen | kPrinterServerUnknown | kPrinterServerOffline;

constexpr std::uint32_t kJobTrouble =
    kJobPaused | kJobError | kJobOffline | kJobPaperOut | kJobBlockedDevq | kJobUserIntervention;

// Another job is ahead of this one. Without a position the queue's count
// tells: more than this job means others may be ahead.
bool BehindAnother(const QueueJobState& job, const QueueState& queue) {
  return job.position > 1 || (job.position == 0 && queue.jobCount > 1);
}

}  // namespace

bool QueueHoldsJobs(const QueueState& queue) {
  return (queue.status & kQueueTrouble) != 0 || (queue.attributes & kAttributeWorkOffline) != 0;
}

JobVerdict JudgeQueueJob(const std::optional<QueueJobState>& job,
                         const std::optional<QueueState>& queue, bool waitOver) {
  // The job came from this send's own StartDocPrinter: once the spooler no
  // longer lists it, it has left the queue, and sending it again could print
  // it twice.
  if (!job) return JobVerdict::kPrinted;
  if ((job->status & (kJobPrinted | kJobComplete)) != 0) return JobVerdict::kPrinted;
  if ((job->status & kJobTrouble) != 0) return JobVerdict::kStuck;
  // The port has the bytes: the job's own status is the authority now.
  if ((job->status & kJobPrinting) != 0) return JobVerdict::kPrinted;
  if (queue && QueueHoldsJobs(*queue)) return JobVerdict::kStuck;
  if (!waitOver) return JobVerdict::kWaiting;
  // Still spooling or queued when the wait ends: it will print only from a
  // queue that is ready and has nothing ahead of it, and only if nobody is
  // deleting it.
  if (queue && !BehindAnother(*job, *queue) && (job->status & (kJobDeleting | kJobDeleted)) == 0) {
    return JobVerdict::kPrinted;
  }
  return JobVerdict::kStuck;
}

std::u16string_view JobDatatypeFor(const std::optional<QueueDriver>& driver) {
  if (driver && (driver->attributes & kDriverXps) != 0) return u"XPS_PASS";
  return u"RAW";
}

QueueJobOutcome WatchQueueJob(const QueueJobProbe& probe) {
  const std::uint64_t start = probe.nowMs();
  for (;;) {
    const std::uint64_t elapsed = probe.nowMs() - start;
    const bool waitOver = elapsed >= kQueueJobWatchMs;
    const JobVerdict verdict = JudgeQueueJob(probe.readJob(), probe.readQueue(), waitOver);
    if (verdict == JobVerdict::kPrinted) return QueueJobOutcome::kPrinted;
    if (verdict == JobVerdict::kStuck) break;
    const std::uint64_t left = kQueueJobWatchMs - elapsed;
    probe.sleep(static_cast<unsigned>(left < kQueueJobPollMs ? left : kQueueJobPollMs));
  }

  if (!probe.deleteJob()) {
    // Not deleted: gone meanwhile (it left the queue on its own, most likely
    // printed), or still there and beyond reach.
    return probe.readJob() ? QueueJobOutcome::kLeftInQueue : QueueJobOutcome::kPrinted;
  }
  // Deleted. A job that was already on its way may still finish; otherwise
  // give the spooler a moment to let go of the port before the device is
  // opened.
  const std::uint64_t deleted = probe.nowMs();
  for (;;) {
    const std::optional<QueueJobState> job = probe.readJob();
    if (!job) return QueueJobOutcome::kTakenBack;
    if ((job->status & (kJobPrinted | kJobComplete)) != 0) return QueueJobOutcome::kPrinted;
    if (probe.nowMs() - deleted >= kTakeBackGraceMs) return QueueJobOutcome::kTakenBack;
    probe.sleep(kQueueJobPollMs);
  }
}

}  // namespace korvante
