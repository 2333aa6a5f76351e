// Timestamps around the steps of start-up, and of each refresh after it
// (a LAN / Wi-Fi click to its list), for the end-to-end benchmark
// (tools/benchmarks/e2e.sh). Only its build of the tool,
// korvante-config-trace.exe, compiled with KV_STARTUP_TRACE, records them; in
// the shipped executable and the tests these functions are empty and compile
// to nothing.
#pragma once

namespace korvante {

#ifdef KV_STARTUP_TRACE
// Notes the performance counter as the step named (a literal) ends; any
// thread may note one.
void MarkStartupStep(const char* step);
// Writes every step noted so far with its counter value to the file that
// the environment variable KV_STARTUP_TRACE_FILE names: after the first
// paint, and again after each refresh result is listed.
void WriteStartupTrace();
#else
inline void MarkStartupStep(const char*) {}
inline void WriteStartupTrace() {}
#endif

}  // namespace korvante
