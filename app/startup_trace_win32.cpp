// The trace of the benchmark's build: a fixed table that the UI thread and
// the refresh workers fill, written as text: "frequency F" and then "TICKS STEP" per step,
// TICKS being QueryPerformanceCounter values, which the benchmark compares
// with its own counter at CreateProcess (one clock for every process).
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdio>

#include "app/startup_trace.h"

namespace korvante {
namespace {

struct StepMark {
  const char* step;
  LONGLONG ticks;
};
std::array<StepMark, 128> marks;
std::atomic<std::size_t> taken{0};    // entries claimed
std::atomic<std::size_t> written{0};  // entries complete, in claiming order

}  // namespace

void MarkStartupStep(const char* step) {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::size_t at = taken.fetch_add(1);
  if (at >= marks.size()) return;
  marks[at] = {step, now.QuadPart};
  // Published in order: a later entry waits for the one before to be whole.
  std::size_t expected = at;
  while (!written.compare_exchange_weak(expected, at + 1)) expected = at;
}

void WriteStartupTrace() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KV_STARTUP_TRACE_FILE", path, MAX_PATH) == 0) return;
  FILE* file = _wfopen(path, L"w");
  if (!file) return;
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::fprintf(file, "frequency %lld\n", frequency.QuadPart);
  const std::size_t count = written.load();
  for (std::size_t i = 0; i < count; ++i) {
    std::fprintf(file, "%lld %s\n", marks[i].ticks, marks[i].step);
  }
  std::fclose(file);
}

}  // namespace korvante
