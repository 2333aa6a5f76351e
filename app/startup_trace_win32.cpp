// The start-up trace of the benchmark's build: a fixed table filled on the UI
// thread, written once as text: "frequency F" and then "TICKS STEP" per step,
// TICKS being QueryPerformanceCounter values, which the benchmark compares
// with its own counter at CreateProcess (one clock for every process).
#include <windows.h>

#include <array>
#include <cstdio>

#include "app/startup_trace.h"

namespace korvante {
namespace {

struct StepMark {
  const char* step;
  LONGLONG ticks;
};
std::array<StepMark, 64> marks;
std::size_t markCount = 0;

}  // namespace

void MarkStartupStep(const char* step) {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  if (markCount < marks.size()) marks[markCount++] = {step, now.QuadPart};
}

void WriteStartupTrace() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KV_STARTUP_TRACE_FILE", path, MAX_PATH) == 0) return;
  FILE* file = _wfopen(path, L"w");
  if (!file) return;
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::fprintf(file, "frequency %lld\n", frequency.QuadPart);
  for (std::size_t i = 0; i < markCount; ++i) {
    std::fprintf(file, "%lld %s\n", marks[i].ticks, marks[i].step);
  }
  std::fclose(file);
}

}  // namespace korvante
