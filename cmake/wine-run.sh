#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own Wine prefix.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run it (this is ctest's emulator)
#   wine-run.sh --start-server          create the prefix if needed and keep one
#                                       wineserver alive for a whole test run
#   wine-run.sh --stop-server           end that wineserver
#   wine-run.sh --import FILE.reg KEY VALUE
#                                       import FILE.reg into the prefix, then
#                                       read back KEY's VALUE; fails when absent
#
# The prefix is $WINEPREFIX when set (the test presets set it inside the build
# tree); otherwise wine-prefix/ in the nearest build tree above the working
# directory. The user's ~/.wine is never used.
#
# A prefix counts as complete only once every step of its set-up has been
# checked; it then holds a marker naming the set-up's version. A prefix without
# that marker (an interrupted or older set-up) is deleted and made again. A
# step that fails stops everything with a message that names it.
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

# Raise it whenever the set-up below changes: older prefixes are then rebuilt.
readonly prefix_version="korvante-prefix 6"
readonly marker="$WINEPREFIX/.kv-ready"

die() {
  echo "wine-run.sh: $*" >&2
  exit 1
}

# Runs one set-up step quietly; when it fails, shows what it printed and stops,
# naming the step and the prefix.
step() {
  local name=$1 log
  shift
  log=$(mktemp)
  if ! "$@" </dev/null >"$log" 2>&1; then
    echo "wine-run.sh: set-up step \"$name\" failed in $WINEPREFIX:" >&2
    tail -n 20 "$log" | sed 's/^/    /' >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

# The path of a Linux file as Windows programs in the prefix see it: the Z:
# drive of every prefix maps "/".
windows_path() {
  local path
  path=$(realpath -e "$1") || die "no such file: $1"
  printf 'Z:%s' "${path//\//\\}"
}

# Imports a .reg file, then reads back one of its values: regedit /S reports
# nothing, not even a file it could not read.
import_reg() {
  local file=$1 key=$2 value=$3 path
  path=$(windows_path "$file")
  step "import $(basename "$file")" wine64 regedit /S "$path"
  step "read back $key\\$value after importing $(basename "$file")" \
    wine64 reg query "$key" /v "$value"
}

make_prefix() {
  # Only a project prefix is ever deleted: every one is named wine-prefix*.
  [[ "$(basename "$WINEPREFIX")" == wine-prefix* ]] ||
    die "$WINEPREFIX is incomplete, and not a project prefix to rebuild; delete it yourself"
  if [[ -e "$WINEPREFIX/system.reg" ]]; then
    echo "wine-run.sh: $WINEPREFIX is incomplete (set-up interrupted or older); making it again" >&2
  fi
  # A wineserver of the half-made prefix would keep serving its old registry.
  wineserver -k >/dev/null 2>&1 || true
  find "$WINEPREFIX" -mindepth 1 -delete
  step "wineboot -i (create the prefix)" wine64 wineboot -i
  [[ -L "$WINEPREFIX/dosdevices/z:" ]] || die "set-up step \"Z: drive\" failed: $WINEPREFIX/dosdevices/z: is missing"

  # Without a window manager, closing a message box otherwise takes ~2 s and
  # windows get no frame. Wine's own Tahoma lacks most Vietnamese letters, which
  # Windows' Tahoma and Segoe UI have: draw those faces with Open Sans instead.
  # Like Segoe UI, its ascent (Windows clips every glyph there) holds the two
  # marks stacked on a Vietnamese capital, "Ế"; DejaVu's cuts the upper one
  # off. The file lives in the prefix, so that a failed step leaves it where
  # the next attempt deletes it.
  step "find the Open Sans font (package fonts-open-sans)" \
    bash -c 'fc-list "Open Sans:style=Regular" family | grep -q .'
  local reg="$WINEPREFIX/kv-setup.reg"
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
    # Wine 8 reports Windows 7 by default; the tool's users run 10 and 11.
    # The value that "winecfg /v win10" writes.
    printf '[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="win10"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for face in "Tahoma" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2"; do
      printf '"%s"="Open Sans"\r\n' "$face"
    done
    # What Open Sans lacks (the width buttons' "▾") comes from DejaVu Sans, as
    # Windows links Segoe UI to its symbol fonts. A REG_MULTI_SZ: the bytes of
    # the text, then two zeros.
    local link
    link=$(printf 'DejaVuSans.ttf,DejaVu Sans' | od -An -tx1 -v | tr -s ' \n' ',')
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    printf '"Open Sans"=hex(7):%s00,00\r\n' "${link#,}"
  } >"$reg"
  import_reg "$reg" 'HKCU\Software\Wine\X11 Driver' Managed
  step "read back the Windows version" bash -c "wine64 reg query 'HKCU\\Software\\Wine' \
    /v Version | grep -q win10"
  # What programs are told, not only what the registry holds.
  step "check that programs see Windows 10" bash -c "wine64 cmd /c ver | grep -q 'Windows 10\\.0'"
  step "read back the font substitutes" wine64 reg query \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "Segoe UI"
  step "read back the font link" bash -c "wine64 reg query \
    'HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink' \
    /v 'Open Sans' | grep -q DejaVuSans.ttf"
  rm -f "$reg"
  # Marlett draws the title bar's buttons; without it they read "0 1 r". Only
  # that one of Wine's fonts: its Tahoma lacks most Vietnamese letters.
  step "copy Marlett (package fonts-wine) into the prefix" \
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # The registry reaches its files when the server exits.
  step "wineserver -w (write the registry)" wineserver -w
  echo "$prefix_version" >"$marker"
}

ensure_prefix() {
  mkdir -p "$WINEPREFIX"
  # Two tests may start at once on a fresh prefix: only one creates it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [[ "$(cat "$marker" 2>/dev/null)" != "$prefix_version" ]]; then
    make_prefix
  fi
  flock -u 9
}

case "${1:-}" in
  --start-server)
    ensure_prefix
    step "wineserver -p (start a persistent server)" wineserver -p
    # The first program of a server starts Wine's background services, which
    # inherit its output: start them here on /dev/null, or ctest would wait
    # for their end of its output pipe until the server exits.
    step "start Wine's services" wine64 cmd /c exit
    ;;
  --stop-server)
    # Nothing to stop is not a failure.
    wineserver -k >/dev/null 2>&1 || true
    ;;
  --import)
    (($# == 4)) || die "usage: wine-run.sh --import FILE.reg KEY VALUE"
    ensure_prefix
    import_reg "$2" "$3" "$4"
    ;;
  "")
    echo "usage: wine-run.sh PROGRAM.exe [ARGS...] | --start-server | --stop-server | --import FILE.reg KEY VALUE" >&2
    exit 2
    ;;
  *)
    ensure_prefix
    exec wine64 "$@"
    ;;
esac
