#!/usr/bin/env bash
# The Wine bench of the USB tests, in a prefix of its own ($WINEPREFIX) so that
# the fake devices never reach the other tests' prefix.
#
#   usb_bench.sh setup STATE_DIR REG_FILE MONITOR_DLL
#   usb_bench.sh run STATE_DIR PROGRAM.exe [ARGS...]
#   usb_bench.sh cleanup STATE_DIR
#
# setup starts the prefix's wineserver, installs the test port monitor, imports
# the bench registry (one import), and maps the fake devices' paths:
#   usb#vid_1234&pid_5678#kv0001  pseudo-terminal, bytes captured in usb1.out
#   usb#vid_2222&pid_0002#kv0012  pseudo-terminal, bytes captured in usb2.out
#   com5                          pseudo-terminal, bytes captured in serial.out
#                                 (not com5.out: Windows reads that name as the port)
#   usb#vid_4444&pid_0001#kv0040  a FIFO kept full: a write never completes
#   usb#vid_2222&pid_0006#kv0016, usb#vid_2222&pid_0007#kv0017  /dev/null
# It also starts an Xvfb server of its own for the test window; `run` starts a
# test program in the prefix with that display. Every process it starts is
# recorded in STATE_DIR/pids with its program; cleanup ends those by PID (each
# only while it still runs that program) and stops the prefix's wineserver.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../cmake/wine-run.sh"
# shellcheck source=../../cmake/processes.sh
source "$here/../../cmake/processes.sh"
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG="${WINEDEBUG:--all}"
: "${WINEPREFIX:?usb_bench.sh needs WINEPREFIX}"

interface_guid='{28d78fad-5a12-11d1-ae5b-0000f803a8c2}'
mapped_names=(
  "usb#vid_1234&pid_5678#kv0001#$interface_guid"
  "usb#vid_2222&pid_0002#kv0012#$interface_guid"
  com5
  "usb#vid_4444&pid_0001#kv0040#$interface_guid"
  "usb#vid_2222&pid_0006#kv0016#$interface_guid"
  "usb#vid_2222&pid_0007#kv0017#$interface_guid"
)

cleanup() {
  local state=$1
  stop_recorded "$state/pids"
  rm -f "$state/pids"
  for name in "${mapped_names[@]}"; do rm -f "$WINEPREFIX/dosdevices/$name"; done
  wineserver -k 2>/dev/null || true
  rm -f "$state"/*.pty "$state/stuck.fifo" "$state/display"
}

wait_for() {
  local path=$1
  for _ in $(seq 100); do
    [[ -e "$path" ]] && return 0
    sleep 0.05
  done
  echo "usb_bench.sh: $path did not appear" >&2
  return 1
}

setup() {
  local state=$1 reg=$2 monitor=$3
  mkdir -p "$state"
  cleanup "$state"  # a run that was cut short
  rm -f "$state"/*.out

  # A display of our own, whichever number is free; its number lands in `display`.
  # shellcheck source=../../cmake/xvfb.sh
  source "$here/../../cmake/xvfb.sh"
  start_xvfb
  echo "$XVFB_PID Xvfb" >>"$state/pids"
  echo "${XVFB_DISPLAY#:}" >"$state/display"
  # Wine's desktop process starts with the server's first program and serves
  # every window of the prefix: it must see the display too.
  export DISPLAY=$XVFB_DISPLAY

  "$wine_run" --start-server
  cp "$monitor" "$WINEPREFIX/drive_c/windows/system32/kvtestmon.dll"
  # The import is read back at its last key: the tests rely on all of it.
  "$wine_run" --import "$reg" \
    'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\Broken Queue' Port

  # One capturing socat per pseudo-terminal; the bytes land in NAME.out.
  for name in usb1 usb2 serial; do
    socat -u "PTY,raw,echo=0,link=$state/$name.pty" "CREATE:$state/$name.out" \
      </dev/null >/dev/null 2>&1 &
    echo "$! socat" >>"$state/pids"
  done
  for name in usb1 usb2 serial; do wait_for "$state/$name.pty"; done

  # A holder keeps every terminal open, so that a program closing its end does
  # not end socat, and keeps the FIFO open for reading without ever reading it,
  # after filling it: a write to it then stays pending.
  mkfifo "$state/stuck.fifo"
  (
    exec 3<>"$state/usb1.pty" 4<>"$state/usb2.pty" 5<>"$state/serial.pty" 6<>"$state/stuck.fifo"
    dd if=/dev/zero of="$state/stuck.fifo" bs=4096 count=64 oflag=nonblock 2>/dev/null || true
    exec sleep infinity
  ) </dev/null >/dev/null 2>&1 &
  echo "$! sleep" >>"$state/pids"

  local dos="$WINEPREFIX/dosdevices"
  ln -sfn "$(readlink -f "$state/usb1.pty")" "$dos/${mapped_names[0]}"
  ln -sfn "$(readlink -f "$state/usb2.pty")" "$dos/${mapped_names[1]}"
  ln -sfn "$(readlink -f "$state/serial.pty")" "$dos/${mapped_names[2]}"
  ln -sfn "$state/stuck.fifo" "$dos/${mapped_names[3]}"
  ln -sfn /dev/null "$dos/${mapped_names[4]}"
  ln -sfn /dev/null "$dos/${mapped_names[5]}"
}

case "${1:-}" in
  setup) setup "$2" "$3" "$4" ;;
  cleanup) cleanup "$2" ;;
  run)
    state=$2
    shift 2
    DISPLAY=":$(tr -d '[:space:]' <"$state/display")"
    export DISPLAY
    exec "$wine_run" "$@"
    ;;
  *)
    echo "usage: usb_bench.sh setup STATE_DIR REG MONITOR_DLL | run STATE_DIR PROGRAM | cleanup STATE_DIR" >&2
    exit 2
    ;;
esac
