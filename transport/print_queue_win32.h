// The print-queue half of the USB transport: one RAW (or XPS_PASS) document
// "Korvante Config" on the printer's queue, confirmed by watching the job.
#pragma once

#include <string>

#include "core/command_buffer.h"

namespace korvante {

enum class QueueSend {
  kPrinted,      // the job printed, is printing, or left the queue
  kNotPrinted,   // no job, or one taken back: the device path gets its chance
  kUnconfirmed,  // a job neither printed nor withdrawn: it may still print, or
                 // have printed in part
};

// Sends `bytes` as one document with one page and one write. A queue that
// already holds its jobs (paused, offline, in error) is given none. A job that
// gets stuck in the queue, or is not done when the watch ends, is deleted.
QueueSend SendThroughQueue(const std::u16string& queue, const CommandBuffer& bytes);

}  // namespace korvante
