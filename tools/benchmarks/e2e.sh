#!/usr/bin/env bash
# End-to-end figures of the real tool: start-up to the first painted window,
# the LAN / Wi-Fi click to the filled list with one UDP printer (in a lab of
# its own, on an Xvfb display of its own), and the executable's size.
# Start-up is set against a floor measured in the same runs (a window with the
# tool's manifest, classes, fonts, brushes and controls, each with the tool's
# style bits, and none of its own work:
# tools/benchmarks/e2e/startup_floor_win32.cpp), as a ratio, and broken down
# into the tool's own steps, timed by its traced build (app/startup_trace.h).
#
#   tools/benchmarks/e2e.sh [RUNS]     after cmake --build --preset windows
#   tools/benchmarks/e2e.sh --compare A.exe B.exe [ROUNDS]
#       two builds of the tool, started in turn (default 15 rounds): their
#       start-ups and the median of B / A, to measure a change to start-up
#       against the build without it
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
lab="$repo/tools/printer-lab/lab"
build="$repo/build/windows"
compare=()
if [[ "${1:-}" == --compare ]]; then
  [[ $# -ge 3 && -f "$2" && -f "$3" ]] || { echo "e2e.sh --compare A.exe B.exe [ROUNDS]" >&2; exit 2; }
  compare=(--compare "$(realpath "$2")" "$(realpath "$3")" "${4:-15}")
  set -- 5
fi
runs=${1:-5}
state="$build/bench-e2e"
prefix="$build/wine-prefix-bench-e2e"
tool="$build/app/korvante-config.exe"
bench="$build/tools/benchmarks/e2e_bench.exe"
traced="$build/app/korvante-config-trace.exe"
floor="$build/tools/benchmarks/startup_floor.exe"
for program in "$tool" "$bench" "$traced" "$floor"; do
  [[ -f "$program" ]] || { echo "no $program: build the windows preset first" >&2; exit 1; }
done

mkdir -p "$state"
# shellcheck source=../../cmake/xvfb.sh
source "$repo/cmake/xvfb.sh"
cleanup() {
  bash "$lab" down --state "$state" >/dev/null 2>&1 || true
  # Set by start_xvfb the moment Xvfb runs: ended even when its start failed.
  if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
start_xvfb
display=$XVFB_DISPLAY

DISPLAY="$display" bash "$lab" up --state "$state" --prefix "$prefix" \
  --printer 100,mac=00-1A-2B-3C-4D-5E >/dev/null
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
if ((${#compare[@]})); then
  bash "$lab" exec --state "$state" -- env DISPLAY="$display" \
    bash "$repo/cmake/wine-run.sh" "$bench" "${compare[@]}"
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi
bash "$lab" exec --state "$state" -- env DISPLAY="$display" \
  bash "$repo/cmake/wine-run.sh" "$bench" "$tool" "$runs" "$traced" "$floor"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-44s %d bytes\n' "korvante-config.exe size" "$(stat -c %s "$tool")"
