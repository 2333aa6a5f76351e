#!/usr/bin/env bash
# The end-to-end bench: an Xvfb display and a lab (tools/printer-lab/lab)
# with simulated printers, whose own Wine prefix has its wineserver inside the
# lab's computer namespace. The tool and the tests run only in that namespace.
#
#   e2e_lab.sh --up STATE PREFIX SIM [LAB OPTIONS...]
#                                          start Xvfb, then the lab with the
#                                          printers below, or with LAB OPTIONS
#                                          (tools/printer-lab/lab up) when given
#                                          (KV_E2E_DISPLAY=:N: use that display
#                                          instead, to watch the cases run)
#   e2e_lab.sh --run STATE PROGRAM [ARGS]  run a Windows program in the computer
#   e2e_lab.sh --down STATE                stop the lab and Xvfb (by PID)
#
# Printers (the scenarios rely on them):
#   .100  normal printer, MAC 00-1A-2B-3C-4D-5E
#   .20   answers discovery but not TCP 9100: does not come back after a move
#   .9    normal printer, MAC 00-1A-2B-3C-4D-09: the broadcast move goes to it
# and one USB printer: the lab's CH340 serial adapter on COM5, whose port is a
# pseudo-terminal; what the tool writes to it lands in STATE/serial.out; and
# a Windows print queue on a TCP/IP port at .9's address (--sales-queue).
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
lab="$repo/tools/printer-lab/lab"
# shellcheck source=../../cmake/processes.sh
source "$repo/cmake/processes.sh"
mode=${1:?usage}
state=$(realpath -m "${2:?state dir}")
shift 2

case "$mode" in
  --up)
    prefix=$(realpath -m "${1:?prefix}")
    sim=${2:?printer-sim}
    shift 2
    lab_options=("$@")
    if ((${#lab_options[@]} == 0)); then
      lab_options=(
        --printer 100,mac=00-1A-2B-3C-4D-5E
        --printer 20,mac=00-1A-2B-3C-4D-20,tcp=absent
        --printer 9,mac=00-1A-2B-3C-4D-09
        --serial-printer
        --sales-queue
      )
    fi
    mkdir -p "$state"
    bash "$0" --down "$state" >/dev/null 2>&1 || true
    # A start that fails takes down what it started, its Xvfb even before
    # e2e.env names it.
    undo_up() {
      if [[ -n "${XVFB_PID:-}" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
      bash "$0" --down "$state" >/dev/null 2>&1 || true
    }
    trap 'status=$?; ((status == 0)) || undo_up' EXIT
    if [[ -n "${KV_E2E_DISPLAY:-}" ]]; then
      echo "KV_DISPLAY=$KV_E2E_DISPLAY" >"$state/e2e.env"
    else
      # shellcheck source=../../cmake/xvfb.sh
      source "$repo/cmake/xvfb.sh"
      start_xvfb
      printf 'KV_XVFB_PID=%s\nKV_DISPLAY=%s\n' "$XVFB_PID" "$XVFB_DISPLAY" >"$state/e2e.env"
    fi
    # shellcheck source=/dev/null
    source "$state/e2e.env"
    # The lab starts its wineserver (and Wine's desktop) with this DISPLAY.
    DISPLAY="$KV_DISPLAY" bash "$lab" up --state "$state" --prefix "$prefix" \
      --sim "$sim" "${lab_options[@]}"
    ;;
  --run)
    # shellcheck source=/dev/null
    source "$state/e2e.env"
    DISPLAY="$KV_DISPLAY" exec bash "$lab" exec --state "$state" -- \
      env DISPLAY="$KV_DISPLAY" bash "$repo/cmake/wine-run.sh" "$@"
    ;;
  --down)
    # A lab that fails to come down still has its Xvfb stopped; the failure
    # is the script's exit status.
    rc=0
    bash "$lab" down --state "$state" || rc=$?
    if [[ -f "$state/e2e.env" ]]; then
      # shellcheck source=/dev/null
      source "$state/e2e.env"
      # A file left from before a reboot names a PID that another program may hold.
      stop_process "${KV_XVFB_PID:-}" Xvfb
      rm -f "$state/e2e.env"
    fi
    exit "$rc"
    ;;
  *)
    echo "usage: e2e_lab.sh --up|--run|--down STATE ..." >&2
    exit 2
    ;;
esac
