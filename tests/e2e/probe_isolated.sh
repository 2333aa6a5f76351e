#!/usr/bin/env bash
# The probe run where nothing can be found, and from a folder that cannot be
# written, whose report then lands in the prefix's %TEMP%: a network namespace
# of our own with only loopback (so the run's discovery broadcast cannot leave
# it), a prefix whose wineserver is started inside that namespace, and a
# read-only bind mount that exists only in this script's mount namespace.
#
#   probe_isolated.sh TOOL.exe PREFIX WORKDIR
set -euo pipefail

tool=$(realpath "${1:?tool}")
export WINEPREFIX=$(realpath -m "${2:?prefix}")
work=$(realpath -m "${3:?work dir}")
repo=$(cd "$(dirname "$0")/../.." && pwd)

if [[ "${KV_PROBE_INSIDE:-}" != 1 ]]; then
  ns="kvprobe-$$-$RANDOM"
  ip netns add "$ns"
  trap 'ip netns del "$ns" 2>/dev/null || true' EXIT
  ip -n "$ns" link set lo up
  # One session inside the namespace: the wineserver, both runs and the
  # read-only mount share its mount namespace and end with it.
  rc=0
  ip netns exec "$ns" env KV_PROBE_INSIDE=1 bash "$0" "$@" || rc=$?
  exit $rc
fi

export PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
fail=0
check() {
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

bash "$repo/cmake/wine-run.sh" --start-server
trap 'wineserver -k 2>/dev/null || true' EXIT

rm -rf "$work"
mkdir -p "$work/plain" "$work/readonly"
cp "$tool" "$work/plain/korvante-config.exe"
cp "$tool" "$work/readonly/korvante-config.exe"

# No network profile (loopback is not one) and a pristine prefix without USB
# printers: the sixteen fixed lines and the two counts, nothing else.
expected=$(mktemp)
cat >"$expected" <<'REPORT'
Build=korvante-native-v1.0-restore-size-four-20261004
UI_REPAINT=clip-children-and-redraw-page-controls
QUEUE_DATETIME=@date
QUEUE_DATE_PREFIX=In ngày:
QUEUE_TIME=unverified-not-sent
QUEUE_TEXT_RENDER=firmware-text
QUEUE_FONT_LEVELS=1,2,3,4,5,6,7,8,9;all-text-levels-restored
QUEUE_FONT_LIMITATION=native-rounding-still-makes-text-levels-1/2-and-4/5-equal
QUEUE_FONT_LEVEL_6=legacy-size-2
QUEUE_FONT_TARGETS=32.768%,40.96%,51.2%,64%,80%,100%,120%,144%,172.8%;nearest-native-A-B-not-exact-percent
QUEUE_LAYOUT=line1,line2,counter,line3,line4,qr,date
QUEUE_COUNTER_SIZE=1..6;level6=legacy-8x
QUEUE_EDITOR=scrollable;save-button-fixed
QUEUE_LINES=multiline-enter
QUEUE_SAVE_BUTTON=visible-above-footer
UI_FONT=system/Segoe UI
Profiles=0
USB_COUNT=0
REPORT

rc=0
wine64 "$work/plain/korvante-config.exe" --probe </dev/null >/dev/null 2>&1 || rc=$?
report="$work/plain/korvante-native-probe.txt"
check "no network: exit code 0" '[[ $rc == 0 ]]'
check "no network: exactly 18 lines, byte for byte" 'cmp -s "$report" "$expected"'
check "no network: no byte order mark" '[[ "$(head -c 3 "$report" | od -An -tx1 | tr -d " ")" != efbbbf ]]'

# The prefix's %TEMP%, where a report goes when the executable's folder
# cannot be written (C:\Program Files for a standard user).
win_temp=$(wine64 cmd /c 'echo %TEMP%' </dev/null 2>/dev/null | tr -d '\r')
temp_dir=$(winepath -u "$win_temp" 2>/dev/null)
[[ -d "$temp_dir" ]] || { echo "FAIL no %TEMP% folder in the prefix (\"$win_temp\")"; exit 1; }
temp_report="$temp_dir/korvante-native-probe.txt"
rm -f "$temp_report"

# Root writes through file modes, so the directory is made read-only by a
# bind mount instead.
mount --bind "$work/readonly" "$work/readonly"
mount -o remount,bind,ro "$work/readonly"
rc=0
wine64 "$work/readonly/korvante-config.exe" --probe </dev/null >/dev/null 2>&1 || rc=$?
check "read-only directory: exit code 0" '[[ $rc == 0 ]]'
check "read-only directory: nothing written beside the executable" \
  '[[ ! -e "$work/readonly/korvante-native-probe.txt" ]]'
check "read-only directory: the whole report is in %TEMP% ($win_temp)" \
  'cmp -s "$temp_report" "$expected"'
umount "$work/readonly"
rm -f "$expected" "$temp_report"
exit $fail
