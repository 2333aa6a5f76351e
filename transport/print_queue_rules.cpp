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
  // The port monitor has the bytes: the job's own status is the authority
  // now, and it has to reach "printed" or leave the queue within the wait.
  if ((job->status & kJobPrinting) != 0)
    return waitOver ? JobVerdict::kStuck : JobVerdict::kWaiting;
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
  // Once the port had the job, part of it may have reached the printer even
  // if the delete then takes it out of the queue.
  bool portHadIt = false;
  auto read = [&] {
    std::optional<QueueJobState> job = probe.readJob();
    if (job && (job->status & kJobPrinting) != 0) portHadIt = true;
    return job;
  };

  const std::uint64_t start = probe.nowMs();
  for (;;) {
    const std::uint64_t elapsed = probe.nowMs() - start;
    const bool waitOver = elapsed >= kQueueJobWatchMs;
    const JobVerdict verdict = JudgeQueueJob(read(), probe.readQueue(), waitOver);
    if (verdict == JobVerdict::kPrinted) return QueueJobOutcome::kPrinted;
    if (verdict == JobVerdict::kStuck) break;
    const std::uint64_t left = kQueueJobWatchMs - elapsed;
    probe.sleep(static_cast<unsigned>(left < kQueueJobPollMs ? left : kQueueJobPollMs));
  }

  if (!probe.deleteJob()) {
    // Not deleted: gone meanwhile (it left the queue on its own, most likely
    // printed), or still there and beyond reach.
    return read() ? QueueJobOutcome::kUnconfirmed : QueueJobOutcome::kPrinted;
  }
  // Deleted. A job that was already on its way may still finish. A job the
  // spooler still lists is not withdrawn: a job being deleted stays listed
  // while the port monitor is still inside its write, and may print.
  const std::uint64_t deleted = probe.nowMs();
  for (;;) {
    const std::optional<QueueJobState> job = read();
    if (!job) return portHadIt ? QueueJobOutcome::kUnconfirmed : QueueJobOutcome::kTakenBack;
    if ((job->status & (kJobPrinted | kJobComplete)) != 0) return QueueJobOutcome::kPrinted;
    if (probe.nowMs() - deleted >= kTakeBackGraceMs) return QueueJobOutcome::kUnconfirmed;
    probe.sleep(kQueueJobPollMs);
  }
}

}  // namespace korvante
