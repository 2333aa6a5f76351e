// The print-queue half of the USB transport: one RAW (or XPS_PASS) document
// "Korvante Config" on the printer's queue, confirmed by watching the job.
#pragma once

#include <string>

#include "core/command_vocabulary.h"

namespace korvante {

enum class QueueSend {
  kPrinted,      // the job printed, is printing, or left the queue
  kNotPrinted,   // no job, or one taken back: the device path gets its chance
  kLeftInQueue,  // a stuck job that could not be deleted: it may still print
};

// Sends `bytes` as one document with one page and one write. A queue that
// already holds its jobs (paused, offline, in error) is given none. A job that
// gets stuck in the queue within the watch is deleted.
QueueSend SendThroughQueue(const std::u16string& queue, const CommandBuffer& bytes);

}  // namespace korvante
