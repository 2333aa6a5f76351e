// What a RAW job on a Windows print queue is worth. EndDocPrinter only says
// that the spooler took the job; a paused, offline or jammed queue still takes
// it and may print it late or never. These rules read the queue's and the
// job's status words (as GetPrinter level 2 and GetJob level 1 give them) and
// decide whether the job counts as printed, is worth waiting for, or must be
// taken back so that the device path can carry the bytes instead. The watch
// that applies them is portable too; print_queue_win32.cpp only reads the
// spooler and deletes the job.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace korvante {

// The spooler's status and attribute bits that the rules read, as winspool.h
// defines them.
namespace spooler {
// A queue's status (PRINTER_INFO_2::Status).
inline constexpr std::uint32_t kPrinterPaused = 0x00000001;
inline constexpr std::uint32_t kPrinterError = 0x00000002;
inline constexpr std::uint32_t kPrinterPendingDeletion = 0x00000004;
inline constexpr std::uint32_t kPrinterPaperJam = 0x00000008;
inline constexpr std::uint32_t kPrinterPaperOut = 0x00000010;
inline constexpr std::uint32_t kPrinterManualFeed = 0x00000020;
inline constexpr std::uint32_t kPrinterPaperProblem = 0x00000040;
inline constexpr std::uint32_t kPrinterOffline = 0x00000080;
inline constexpr std::uint32_t kPrinterOutputBinFull = 0x00000800;
inline constexpr std::uint32_t kPrinterNotAvailable = 0x00001000;
inline constexpr std::uint32_t kPrinterNoToner = 0x00040000;
inline constexpr std::uint32_t kPrinterUserIntervention = 0x00100000;
inline constexpr std::uint32_t kPrinterOutOfMemory = 0x00200000;
inline constexpr std::uint32_t kPrinterDoorOpen = 0x00400000;
inline constexpr std::uint32_t kPrinterServerUnknown = 0x00800000;
inline constexpr std::uint32_t kPrinterServerOffline = 0x02000000;
// A queue's attributes (PRINTER_INFO_2::Attributes): "Use printer offline".
inline constexpr std::uint32_t kAttributeWorkOffline = 0x00000400;
// A job's status (JOB_INFO_1::Status).
inline constexpr std::uint32_t kJobPaused = 0x00000001;
inline constexpr std::uint32_t kJobError = 0x00000002;
inline constexpr std::uint32_t kJobDeleting = 0x00000004;
inline constexpr std::uint32_t kJobPrinting = 0x00000010;
inline constexpr std::uint32_t kJobOffline = 0x00000020;
inline constexpr std::uint32_t kJobPaperOut = 0x00000040;
inline constexpr std::uint32_t kJobPrinted = 0x00000080;
inline constexpr std::uint32_t kJobDeleted = 0x00000100;
inline constexpr std::uint32_t kJobBlockedDevq = 0x00000200;
inline constexpr std::uint32_t kJobUserIntervention = 0x00000400;
inline constexpr std::uint32_t kJobComplete = 0x00001000;
// A driver's attributes (DRIVER_INFO_8::dwPrinterDriverAttributes).
inline constexpr std::uint32_t kDriverXps = 0x00000002;
}  // namespace spooler

// A queue as GetPrinter level 2 reports it.
struct QueueState {
  std::uint32_t status = 0;
  std::uint32_t attributes = 0;
  std::uint32_t jobCount = 0;  // cJobs: every job in the queue, this one included
};

// A job as GetJob level 1 reports it, while the spooler still lists it.
struct QueueJobState {
  std::uint32_t status = 0;
  std::uint32_t position = 0;  // 1 = next to print; 0 = not reported
};

// True when a queue would hold a new job instead of printing it: paused,
// marked offline, or its printer in error, out of paper, jammed, open, or
// waiting for someone. Busy, printing, warming up or low on toner are fine.
bool QueueHoldsJobs(const QueueState& queue);

enum class JobVerdict {
  kPrinted,  // printed, or no longer in the queue
  kWaiting,  // spooling, queued behind nothing wrong, or printing: look again
  kStuck,    // paused, offline, in error, blocked, or still printing when the
             // wait is over: take it back
};

// Judges one look at the job (nullopt: the spooler no longer lists it) and its
// queue (nullopt: unreadable). A job that has started is judged by its own
// status; one that has not, by its queue's too. "Printing" only says that the
// port monitor has the data (an unplugged USB printer sits in it for good), so
// it is no success: the job must be printed or gone before the wait is over.
// Once `waitOver`, a job that has still not started counts as printed only
// when it is first in line in a queue known to be ready.
JobVerdict JudgeQueueJob(const std::optional<QueueJobState>& job,
                         const std::optional<QueueState>& queue, bool waitOver);

// The queue's driver, as GetPrinterDriver level 8 reports it.
struct QueueDriver {
  std::uint32_t attributes = 0;  // dwPrinterDriverAttributes
};

// The datatype of the job: "XPS_PASS" for an XPS driver (v4 drivers and v3
// XPSDrv), whose filter pipeline filters or drops RAW data while the spooler
// still reports the job printed; "RAW" for every other driver, and when the
// driver could not be read.
std::u16string_view JobDatatypeFor(const std::optional<QueueDriver>& driver);

// The watch after EndDocPrinter: looks every kQueueJobPollMs for up to
// kQueueJobWatchMs; a job taken back gets kTakeBackGraceMs to leave the queue.
inline constexpr unsigned kQueueJobWatchMs = 3000;
inline constexpr unsigned kQueueJobPollMs = 50;
inline constexpr unsigned kTakeBackGraceMs = 500;

// What the watch reads and does; the spooler on Windows, a script in tests.
struct QueueJobProbe {
  std::function<std::optional<QueueJobState>()> readJob;
  std::function<std::optional<QueueState>()> readQueue;
  std::function<bool()> deleteJob;  // SetJob JOB_CONTROL_DELETE; true when accepted
  std::function<void(unsigned ms)> sleep;
  std::function<std::uint64_t()> nowMs;  // a steady clock
};

enum class QueueJobOutcome {
  kPrinted,      // the send succeeded through the queue
  kTakenBack,    // deleted and gone before the port had it: the device path may
                 // carry the bytes
  kUnconfirmed,  // not known to have printed, and not known to be withdrawn:
                 // still listed after the delete (the port monitor may be
                 // inside its write), or the port had it. It may print, or
                 // have printed in part, so the bytes must not be sent another
                 // way too.
};

// Watches a job from EndDocPrinter on, and deletes it when it is stuck. Only a
// job that is gone from the queue counts as withdrawn, and only one that the
// port never had.
QueueJobOutcome WatchQueueJob(const QueueJobProbe& probe);

}  // namespace korvante
