// Workers: a job on a thread of its own that nobody joins. The thread owns the
// job and destroys it, closure and all, once the job has returned.
#pragma once

#include "core/move_only_task.h"

namespace korvante {

// Starts `body` on a new detached thread. False when no thread could be
// started; `body` is then destroyed without running.
bool StartWorkerThread(MoveOnlyTask<void> body);

}  // namespace korvante
