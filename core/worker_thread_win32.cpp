// Workers on Windows: plain CRT threads.
//
// Not a detached std::thread: with this toolchain's threads library, a thread
// started right after another detached one has ended now and then never runs
// its job, and faults later in the library's start routine on a null argument
// (a few hundred starts suffice under Wine; the library is linked into the
// executable, so Windows runs the same code). For the tool that is a search
// that never ends or a send that stays busy, then a crash.
#include <windows.h>

#include <process.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "core/worker_thread.h"

namespace korvante {

namespace {

unsigned __stdcall RunWorker(void* arg) {
  const std::unique_ptr<MoveOnlyTask<void>> body(static_cast<MoveOnlyTask<void>*>(arg));
  (*body)();
  return 0;
}

}  // namespace

bool StartWorkerThread(MoveOnlyTask<void> body) {
  auto owned = std::make_unique<MoveOnlyTask<void>>(std::move(body));
  const std::uintptr_t thread = _beginthreadex(nullptr, 0, &RunWorker, owned.get(), 0, nullptr);
  if (thread == 0) return false;  // `owned` frees the job, never run
  owned.release();                // now the worker's
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

}  // namespace korvante
