// Timestamps around the steps of start-up, for the start-up benchmark
// (tools/benchmarks/e2e.sh). Only its build of the tool, korvante-config-trace.exe,
// compiled with KV_STARTUP_TRACE, records them; in the shipped executable and
// the tests these functions are empty and compile to nothing.
#pragma once

namespace korvante {

#ifdef KV_STARTUP_TRACE
// Notes the performance counter as the step named (a literal) ends.
void MarkStartupStep(const char* step);
// Writes every step with its counter value to the file that the environment
// variable KV_STARTUP_TRACE_FILE names, once, after the first paint.
void WriteStartupTrace();
#else
inline void MarkStartupStep(const char*) {}
inline void WriteStartupTrace() {}
#endif

}  // namespace korvante
