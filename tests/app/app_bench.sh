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

in_ns() { ip netns exec "$KV_NS" env DISPLAY="$KV_DISPLAY" WINEPREFIX="$WINEPREFIX" "$@"; }

case "$mode" in
  --setup)
    rm -f "$state"
    # A wineserver of this prefix left by an interrupted run would hold the
    # prefix (and its sockets) in another namespace.
    wineserver -k 2>/dev/null || true
    KV_NS="kvapp-$$-$RANDOM"
    ip netns add "$KV_NS"
    ip -n "$KV_NS" link set lo up
    # Xvfb picks a free display itself and reports it on a descriptor.
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" \
      </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s "$displayfile" ]] && break; sleep 0.05; done
    KV_DISPLAY=":$(tr -d '\n' <"$displayfile")"
    rm -f "$displayfile"
    printf 'KV_NS=%s\nKV_DISPLAY=%s\nKV_XVFB_PID=%s\n' "$KV_NS" "$KV_DISPLAY" "$xvfb_pid" >"$state"

    mkdir -p "$WINEPREFIX"
    if [[ ! -f "$WINEPREFIX/.kv-ready" ]]; then
      in_ns wineboot -i >/dev/null 2>&1 || true
      in_ns wineserver -w
      touch "$WINEPREFIX/.kv-ready"
    fi
    # Without a window manager, closing a message box otherwise takes ~2 s.
    # Wine's own Tahoma lacks most Vietnamese letters, which Windows' Tahoma
    # and Segoe UI have: the bench draws those faces with DejaVu Sans
    # Condensed, which has them and comes close to their widths.
    reg=$(mktemp --suffix=.reg)
    {
      printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
      printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
      for face in "Tahoma" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2"; do
        printf '"%s"="DejaVu Sans Condensed"\r\n' "$face"
      done
    } >"$reg"
    in_ns wine64 regedit /S "$(in_ns winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
    rm -f "$reg"
    in_ns wineserver -w
    in_ns wineserver -p </dev/null >/dev/null 2>&1
    in_ns wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
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
    kill "$KV_XVFB_PID" 2>/dev/null || true
    ip netns del "$KV_NS" 2>/dev/null || true
    rm -f "$state"
    ;;
  *)
    echo "usage: app_bench.sh --setup|--run|--cleanup STATE PREFIX ..." >&2
    exit 2
    ;;
esac
