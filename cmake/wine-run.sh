#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own Wine prefix.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run it (this is ctest's emulator)
#   wine-run.sh --start-server          create the prefix if needed and keep one
#                                       wineserver alive for a whole test run
#   wine-run.sh --stop-server           end that wineserver
#
# The prefix is $WINEPREFIX when set (the test presets set it inside the build
# tree); otherwise wine-prefix/ in the nearest build tree above the working
# directory. The user's ~/.wine is never used.
set -euo pipefail

export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs when a prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

if [[ -z "${WINEPREFIX:-}" ]]; then
  dir="$PWD"
  while [[ "$dir" != / && ! -f "$dir/CMakeCache.txt" ]]; do dir=$(dirname "$dir"); done
  [[ -f "$dir/CMakeCache.txt" ]] || { echo "wine-run.sh: no build tree above $PWD; set WINEPREFIX" >&2; exit 2; }
  export WINEPREFIX="$dir/wine-prefix"
fi

ensure_prefix() {
  mkdir -p "$WINEPREFIX"
  # Two tests may start at once on a fresh prefix: only one creates it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [[ ! -f "$WINEPREFIX/.kv-ready" ]]; then
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager, closing a message box would otherwise take ~2 s.
    # Wine's own Tahoma lacks most Vietnamese letters, which Windows' Tahoma and
    # Segoe UI have: draw those faces with DejaVu Sans Condensed instead.
    local reg; reg=$(mktemp --suffix=.reg)
    {
      printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
      printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
      for face in "Tahoma" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2"; do
        printf '"%s"="DejaVu Sans Condensed"\r\n' "$face"
      done
    } >"$reg"
    wine64 regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
    rm -f "$reg"
    wineserver -w
    touch "$WINEPREFIX/.kv-ready"
  fi
  flock -u 9
}

case "${1:-}" in
  --start-server)
    ensure_prefix
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program of a server starts Wine's background services, which
    # inherit its output: start them here on /dev/null, or ctest would wait
    # for their end of its output pipe until the server exits.
    wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  --stop-server)
    wineserver -k 2>/dev/null || true
    ;;
  "")
    echo "usage: wine-run.sh PROGRAM.exe [ARGS...] | --start-server | --stop-server" >&2
    exit 2
    ;;
  *)
    ensure_prefix
    exec wine64 "$@"
    ;;
esac
