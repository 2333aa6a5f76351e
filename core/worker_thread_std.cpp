// Workers where std::thread may be detached safely (every build but Windows).
#include <system_error>
#include <thread>
#include <utility>

#include "core/worker_thread.h"

namespace korvante {

bool StartWorkerThread(MoveOnlyTask<void> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;  // out of threads or memory: the caller reports the failure
  }
}

}  // namespace korvante
