#!/usr/bin/env bash
# The end-to-end bench: an Xvfb display and a lab (tools/lab) with simulated
# printers, whose own Wine prefix has its wineserver inside the lab's computer
# namespace. The tool and the tests run only in that namespace.
#
#   e2e_lab.sh --up STATE PREFIX SIM       start Xvfb, then the lab
#   e2e_lab.sh --run STATE PROGRAM [ARGS]  run a Windows program in the computer
#   e2e_lab.sh --down STATE                stop the lab and Xvfb (by PID)
#
# Printers (the scenarios rely on them):
#   .100  normal printer, MAC 00-1A-2B-3C-4D-5E
#   .20   answers discovery but not TCP 9100: does not come back after a move
#   .9    normal printer, MAC 00-1A-2B-3C-4D-09: the broadcast move goes to it
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
mode=${1:?usage}
state=$(realpath -m "${2:?state dir}")
shift 2

case "$mode" in
  --up)
    prefix=${1:?prefix}
    sim=${2:?printer-sim}
    mkdir -p "$state"
    bash "$0" --down "$state" >/dev/null 2>&1 || true
    # Xvfb picks a free display itself and reports it on a descriptor.
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" \
      </dev/null >/dev/null 2>&1 &
    echo "KV_XVFB_PID=$!" >"$state/e2e.env"
    for _ in $(seq 100); do [[ -s "$displayfile" ]] && break; sleep 0.05; done
    echo "KV_DISPLAY=:$(tr -d '\n' <"$displayfile")" >>"$state/e2e.env"
    rm -f "$displayfile"
    # shellcheck source=/dev/null
    source "$state/e2e.env"
    # The lab starts its wineserver (and Wine's desktop) with this DISPLAY.
    DISPLAY="$KV_DISPLAY" bash "$repo/tools/lab" up --state "$state" --prefix "$prefix" \
      --sim "$sim" \
      --printer 100,mac=00-1A-2B-3C-4D-5E \
      --printer 20,mac=00-1A-2B-3C-4D-20,tcp=absent \
      --printer 9,mac=00-1A-2B-3C-4D-09
    ;;
  --run)
    # shellcheck source=/dev/null
    source "$state/e2e.env"
    DISPLAY="$KV_DISPLAY" exec bash "$repo/tools/lab" exec --state "$state" -- \
      env DISPLAY="$KV_DISPLAY" bash "$repo/cmake/wine-run.sh" "$@"
    ;;
  --down)
    bash "$repo/tools/lab" down --state "$state" || true
    if [[ -f "$state/e2e.env" ]]; then
      # shellcheck source=/dev/null
      source "$state/e2e.env"
      kill "$KV_XVFB_PID" 2>/dev/null || true
      rm -f "$state/e2e.env"
    fi
    ;;
  *)
    echo "usage: e2e_lab.sh --up|--run|--down STATE ..." >&2
    exit 2
    ;;
esac
