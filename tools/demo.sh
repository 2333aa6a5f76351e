#!/usr/bin/env bash
# Runs korvante-config.exe under Wine against simulated printers.
#
#   bash tools/demo.sh [SECONDS]
#
# Installs what is missing, builds, starts a lab (a private network of Linux
# network namespaces) with two simulated Korvante printers and one silent host,
# and opens the tool inside the lab's "computer" namespace. With a display
# ($DISPLAY set) the window opens there and the lab stays up until the window
# is closed. Without one, the tool runs on a private Xvfb display for SECONDS
# (default 8), a screenshot is left in build/demo/screenshot.png, and
# everything is stopped. Either way the simulators' journals stay in build/demo.
#
# Nothing leaves the lab: the tool's searches and sends reach only the
# simulated printers. Runs as root (it creates network namespaces).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
seconds=${1:-8}
state="$repo/build/demo"
prefix="$repo/build/wine-prefix-demo"

bash tools/install-deps.sh
echo "demo: building"
cmake --preset host >/dev/null
cmake --build --preset host --target printer-sim >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target korvante-config >/dev/null
exe="$repo/build/windows/app/korvante-config.exe"
[[ -f "$exe" ]] || { echo "demo: $exe was not built" >&2; exit 1; }

xvfb_pid=""
tool_pid=""
cleanup() {
  [[ -n "$tool_pid" ]] && kill "$tool_pid" 2>/dev/null || true
  tools/lab down --state "$state" >/dev/null 2>&1 || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  # shellcheck source=../cmake/xvfb.sh
  source "$repo/cmake/xvfb.sh"
  start_xvfb
  xvfb_pid=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
fi

# DISPLAY is set before the lab's wineserver starts its first program, so
# Wine's desktop process can open windows on it.
tools/lab up --state "$state" --prefix "$prefix" \
  --printer 100,mac=00-1A-2B-3C-4D-5E --printer 20,mac=00-1A-2B-3C-4D-60 --silent 30

tools/lab exec --state "$state" -- bash cmake/wine-run.sh "$exe" &
tool_pid=$!

if [[ -n "$xvfb_pid" ]]; then
  sleep "$seconds"
  import -display "$DISPLAY" -window root "$state/screenshot.png"
  echo "demo: screenshot in $state/screenshot.png"
else
  echo "demo: the window is open on $DISPLAY; close it to stop the lab"
  wait "$tool_pid" || true
  tool_pid=""
fi
echo "demo: journals of the simulated printers:"
ls "$state"/*journal* 2>/dev/null || tools/lab status --state "$state" || true
