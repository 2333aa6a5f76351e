#!/usr/bin/env bash
# The Wine prefix set-up of cmake/wine-run.sh fails loudly and never reuses a
# half-made prefix:
#   - a prefix left by an interrupted or older set-up is made again, and then
#     holds the window-manager value, the font substitutes and Marlett, and
#     tells programs that they run on Windows 10;
#   - a registry import whose value cannot be read back, or whose file is
#     missing, stops with a message that names the step.
#
#   prefix_setup_test.sh WORKDIR
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "${1:?work dir}")
wine_run="$repo/cmake/wine-run.sh"
export PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
export WINEPREFIX="$work/wine-prefix-stale"

fail=0
check() {
  local name=$1
  shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; fail=1; fi
}

rm -rf "$work"
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# What an earlier set-up that stopped half-way leaves: registry files without
# the values, and the empty marker older set-ups wrote.
echo "WINE REGISTRY Version 2" >"$WINEPREFIX/system.reg"
echo "WINE REGISTRY Version 2" >"$WINEPREFIX/user.reg"
touch "$WINEPREFIX/.kv-ready"
out=$(bash "$wine_run" cmd /c exit 2>&1)
check "a stale prefix is said to be made again" grep -q 'is incomplete' <<<"$out"
check "the new prefix has no window manager (Managed N)" \
  grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"
check "the new prefix draws Segoe UI with Open Sans" \
  grep -q '"Segoe UI"="Open Sans"' "$WINEPREFIX/system.reg"
check "the new prefix has Marlett" test -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
check "the new prefix is set to Windows 10" grep -q '"Version"="win10"' "$WINEPREFIX/user.reg"
check "... and programs are told 10.0" bash -c "bash '$wine_run' cmd /c ver | grep -q 'Windows 10\.0'"
out=$(bash "$wine_run" cmd /c exit 2>&1)
check "a complete prefix is reused" test -z "$out"

# An import that does not give the value it is checked by.
reg="$work/partial.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\KvSetupTest]\r\n"Present"="1"\r\n' >"$reg"
rc=0
out=$(bash "$wine_run" --import "$reg" 'HKCU\Software\KvSetupTest' Missing 2>&1) || rc=$?
check "an import without its value fails" test "$rc" -ne 0
check "... naming the step" grep -qF 'set-up step "read back HKCU\Software\KvSetupTest\Missing' \
  <<<"$out"
rc=0
bash "$wine_run" --import "$reg" 'HKCU\Software\KvSetupTest' Present >/dev/null 2>&1 || rc=$?
check "an import with its value passes" test "$rc" -eq 0
rc=0
out=$(bash "$wine_run" --import "$work/absent.reg" 'HKCU\Software\KvSetupTest' Present 2>&1) ||
  rc=$?
check "a missing file fails, naming it" grep -q "no such file: $work/absent.reg" <<<"$out"
check "... with a non-zero code" test "$rc" -ne 0

exit $fail
