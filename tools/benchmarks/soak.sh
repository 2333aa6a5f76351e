#!/usr/bin/env bash
# The soak: the real tool in a lab of its own (on an Xvfb display of its own),
# driven through REFRESHES refreshes of the printer list (both modes, single
# and double clicks) and SENDS sends of every action, to printers that take
# the bytes, refuse them, are gone, or never complete the write. Its handles,
# GDI and USER objects and private memory are read from outside the tool
# before and after the load; the output ends with the line
#   soak: handles A -> B, gdi A -> B, user A -> B, private KB A -> B
#
#   tools/benchmarks/soak.sh [REFRESHES] [SENDS]     after cmake --build --preset windows
#                                               (defaults 300 and 150)
#
# The lab: 192.168.77.100 takes every command, .20 refuses TCP 9100, .30
# reports .55 (where nothing is) in its discovery reply; USB: the lab's serial
# printer on COM5, an adapter on COM6 whose port is a FIFO kept full (a write
# never completes) and one on COM33, a port that does not exist.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
lab="$repo/tools/printer-lab/lab"
build="$repo/build/windows"
refreshes=${1:-300}
sends=${2:-150}
state="$build/bench-soak"
prefix="$build/wine-prefix-bench-soak"
tool="$build/app/korvante-config.exe"
soak="$build/tools/benchmarks/soak_bench.exe"
[[ -x "$tool" && -f "$soak" ]] || { echo "build the windows preset first" >&2; exit 1; }
export PATH="/usr/lib/wine:$PATH"

mkdir -p "$state"
# shellcheck source=../../cmake/xvfb.sh
source "$repo/cmake/xvfb.sh"
holder=""
com6="$prefix/dosdevices/com6"
cleanup() {
  # The holder may be gone already: that must not end the clean-up early.
  if [[ -n "$holder" ]]; then kill "$holder" 2>/dev/null || true; fi
  rm -f "$com6" "$state/stuck.fifo"
  bash "$lab" down --state "$state" >/dev/null 2>&1 || true
  if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
start_xvfb
display=$XVFB_DISPLAY

echo "soak lab: starting (the first run makes its Wine prefix)"
DISPLAY="$display" bash "$lab" up --state "$state" --prefix "$prefix" \
  --printer 100,mac=00-1A-2B-3C-4D-5E \
  --printer 20,mac=00-1A-2B-3C-4D-20,tcp=absent \
  --printer 30,report-ip=192.168.77.55 \
  --serial-printer >/dev/null
in_lab() { bash "$lab" exec --state "$state" -- env DISPLAY="$display" "$@"; }
in_lab bash "$repo/cmake/wine-run.sh" --import "$repo/tools/benchmarks/soak/soak-usb.reg" \
  'HKLM\SYSTEM\CurrentControlSet\Enum\USB\VID_1A86&PID_7523\KV0033\Device Parameters' PortName
[[ ! -e "$prefix/dosdevices/com33" ]] || { echo "soak: COM33 exists in the prefix" >&2; exit 1; }

# COM6: a FIFO held open for reading and never read, after it was filled, so
# that a write to it stays pending.
rm -f "$state/stuck.fifo"
mkfifo "$state/stuck.fifo"
(
  exec 3<>"$state/stuck.fifo"
  dd if=/dev/zero of="$state/stuck.fifo" bs=4096 count=64 oflag=nonblock 2>/dev/null || true
  exec sleep infinity
) </dev/null >/dev/null 2>&1 &
holder=$!
ln -sfn "$state/stuck.fifo" "$com6"

echo "soak: $refreshes refreshes and $sends sends after a warm-up"
in_lab bash "$repo/cmake/wine-run.sh" "$soak" "$tool" "$refreshes" "$sends"
