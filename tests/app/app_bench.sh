#!/usr/bin/env bash
# The window tests' bench: an isolated network namespace with only loopback,
# an Xvfb display and a wineserver of the bench's own prefix started inside
# that namespace, so that anything the window sends (a LAN / Wi-Fi search, a
# send) stays inside it.
#
#   app_bench.sh --setup STATE PREFIX     create the bench, write its state
#   app_bench.sh --run STATE PREFIX EXE [ARGS...]   run a Windows program in it
#   app_bench.sh --cleanup STATE PREFIX   stop what --setup started, by PID
set -euo pipefail

export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

mode=${1:?usage}
state=${2:?state file}
export WINEPREFIX=${3:?wine prefix}
shift 3

repo=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../cmake/processes.sh
source "$repo/cmake/processes.sh"

in_ns() { ip netns exec "$KV_NS" env DISPLAY="${KV_DISPLAY:-}" WINEPREFIX="$WINEPREFIX" "$@"; }

case "$mode" in
  --setup)
    rm -f "$state"
    # A wineserver of this prefix left by an interrupted run would hold the
    # prefix (and its sockets) in another namespace.
    wineserver -k 2>/dev/null || true
    # Each thing started is written to the state at once, and a set-up that
    # fails takes down what it started, its Xvfb even before the state names it.
    undo_setup() {
      if [[ -n "${XVFB_PID:-}" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
      bash "$0" --cleanup "$state" "$WINEPREFIX"
    }
    trap 'status=$?; ((status == 0)) || undo_setup' EXIT
    KV_NS="kvapp-$$-$RANDOM"
    ip netns add "$KV_NS"
    printf 'KV_NS=%s\n' "$KV_NS" >"$state"
    ip -n "$KV_NS" link set lo up
    # shellcheck source=../../cmake/xvfb.sh
    source "$repo/cmake/xvfb.sh"
    start_xvfb
    KV_DISPLAY=$XVFB_DISPLAY
    printf 'KV_DISPLAY=%s\nKV_XVFB_PID=%s\n' "$KV_DISPLAY" "$XVFB_PID" >>"$state"

    # The prefix is made (first time only: no window manager, fonts with the
    # Vietnamese letters) and its wineserver started inside the namespace, so
    # that every socket of a Windows program lives there.
    in_ns bash "$repo/cmake/wine-run.sh" --start-server
    ;;
  --run)
    # shellcheck source=/dev/null
    source "$state"
    in_ns wine64 "$@"
    ;;
  --cleanup)
    [[ -f "$state" ]] || exit 0
    # shellcheck source=/dev/null
    source "$state"
    in_ns wineserver -k 2>/dev/null || true
    # A state left from before a reboot names a PID that another program may hold.
    stop_process "${KV_XVFB_PID:-}" Xvfb
    ip netns del "$KV_NS" 2>/dev/null || true
    rm -f "$state"
    ;;
  *)
    echo "usage: app_bench.sh --setup|--run|--cleanup STATE PREFIX ..." >&2
    exit 2
    ;;
esac
