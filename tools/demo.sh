#!/usr/bin/env bash
# Runs korvante-config.exe under Wine against simulated printers.
#
#   bash tools/demo.sh           with a display ($DISPLAY set): the window opens
#                                there, the lab stays up until it is closed;
#                                without one: the guided tour below
#   bash tools/demo.sh --tour    the guided tour, on $DISPLAY when it is set
#                                (to watch it), else on a private Xvfb
#
# Installs what is missing, builds, and starts a lab (a private network of
# Linux network namespaces) with two simulated Korvante printers (.100 and
# .20), one silent host (.30) and one USB printer: a CH340 serial adapter on
# COM5 whose bytes land in build/demo/serial.out. The tool runs inside the
# lab's "computer" namespace, so its searches and sends reach only the lab.
#
# The tour drives the real window with the UI driver as a shop user would:
# the USB list, a test print to the USB printer with its message box, the
# LAN / Wi-Fi list, and a queue ticket saved to printer .100. It leaves a
# picture of each step in build/demo/tour/ and prints what the printers
# received, decoded. Runs as root (it creates network namespaces).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
tour=0
case "${1:-}" in
  --tour) tour=1 ;;
  "") [[ -n "${DISPLAY:-}" ]] || tour=1 ;;
  *) echo "usage: bash tools/demo.sh [--tour]" >&2; exit 2 ;;
esac
state="$repo/build/demo"
shots="$state/tour"
prefix="$repo/build/wine-prefix-demo"

bash tools/install-deps.sh
echo "demo: building"
cmake --preset host >/dev/null
cmake --build --preset host --target printer-sim >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target korvante-config ui-driver >/dev/null
exe="$repo/build/windows/app/korvante-config.exe"
driver="$repo/build/windows/tests/ui-driver/ui-driver.exe"
for built in "$exe" "$driver"; do
  [[ -f "$built" ]] || { echo "demo: $built was not built" >&2; exit 1; }
done

# shellcheck source=../cmake/xvfb.sh
source "$repo/cmake/xvfb.sh"
tool_pid=""
cleanup() {
  if [[ -n "$tool_pid" ]]; then kill "$tool_pid" 2>/dev/null || true; fi
  tools/printer-lab/lab down --state "$state" >/dev/null 2>&1 || true
  # Set by start_xvfb the moment Xvfb runs: ended even when its start failed.
  if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  start_xvfb
  export DISPLAY=$XVFB_DISPLAY
fi

# DISPLAY is set before the lab's wineserver starts its first program, so
# Wine's desktop process can open windows on it.
tools/printer-lab/lab up --state "$state" --prefix "$prefix" \
  --printer 100,mac=00-1A-2B-3C-4D-5E --printer 20,mac=00-1A-2B-3C-4D-60 --silent 30 \
  --serial-printer

in_lab() { tools/printer-lab/lab exec --state "$state" -- env DISPLAY="$DISPLAY" bash cmake/wine-run.sh "$@"; }
in_lab "$exe" &
tool_pid=$!

if ((!tour)); then
  echo "demo: the window shows on $DISPLAY; close it to stop the lab"
  wait "$tool_pid" || true
  tool_pid=""
  echo "demo: what the printers received is in $state/journal-*.log and $state/serial.out"
  exit 0
fi

# --- the tour --------------------------------------------------------------------
ui() { in_lab "$driver" "$@"; }
step() { printf '\ndemo: %s\n' "$*"; }
fail() {
  echo "demo: the tour stopped: $*" >&2
  exit 1
}

# A picture of the tool's window (with its message box, which sits on top of
# it): the screen, cropped to the window's frame.
shot() {
  local file="$shots/$1.png" geometry
  # The display may lag the last message by a frame.
  sleep 0.4
  geometry=$(xwininfo -root -tree | awk '/"Korvante Config Tool"/ {print $(NF-1); exit}')
  [[ -n "$geometry" ]] || fail "no window titled Korvante Config Tool on $DISPLAY"
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$file"
  echo "      picture: ${file#"$repo"/}"
}

rm -rf "$shots"
mkdir -p "$shots"

# The printer list once an item starts with $1, dropped down in picture $2.
listed() {
  ui wait-item "$1" 15000 | sed 's/^/      list: /' || fail "no item starting with $1 listed"
  ui drop-down 1
  shot "$2"
  ui drop-down 0
}

# Clicks the action button $1, takes its message box in picture $2, presses OK.
# Controls and pages are named as in the UI driver's table (ui_driver_win32.h).
# With "ask" as $3, a question comes first and is answered Yes.
answered() {
  local box
  ui click "$1"
  if [[ "${3:-}" == ask ]]; then
    box=$(ui answer-box 10000 yes) || fail "no question after clicking $1"
    echo "      question: $box (Yes)"
  fi
  box=$(ui show-box 10000) || fail "no message box after clicking $1"
  echo "      message: $box"
  shot "$2"
  ui wait-box 2000 >/dev/null
}

step "1. At start the tool looks for USB printers and lists the serial printer on COM5."
listed "COM5 - " 1-usb-list

step "2. Kỹ thuật page, \"Test\": a test print with the buzzer to the USB printer."
ui click TechnicalPageButton
answered TestBeep 2-usb-test

step "3. \"LAN / Wi-Fi\": the printers on the shop network, and the LAN page's suggested address."
ui click LanRadio
ui click LanPageButton
listed "192.168.77." 3-lan-list

step "4. Số thứ tự page: a queue ticket with a second line and a QR link, saved to .100."
ui select 0
ui click QueuePageButton
ui click ContentToggle
ui click-caption QueuePage "In ngày"
ui set-field QueuePage 2 "Cảm ơn quý khách"
ui set-field QueuePage 5 "https://korvante.vn/q?s=7"
# Saving the content deletes the printer's stored graphics: the tool asks first.
answered SaveQueue 4-queue-ticket ask

step "5. Máy in Lan page, \"In thông tin IP\": a slip with .100's address and MAC, printed on it."
ui click LanPageButton
answered PrintInfo 5-info-slip

step "What the printers received (the raw bytes are in $state/journal-*.log):"
sim="$repo/build/host/tools/printer-lab/printer-sim"
# The virtual printer's reading of some bytes: settings as cards, printed rows
# with their text, QR codes with their data. A connection with none of these
# shows nothing.
reading() {
  "$sim" --render "$1" "${@:2}" --out "$state/reading.png" |
    sed -nE "/^(card|line|qr|ticket)/{s|-> $state/reading.png||; s/^/      /; p}"
  rm -f "$state"/reading*.png
}
for journal in "$state"/journal-*.log; do
  host=${journal##*journal-}
  host=${host%.log}
  echo "  192.168.77.$host (page: ${journal%.log}.html):"
  while read -r time what peer rest; do
    case "$what" in
      udp) echo "    $time udp from $peer: ${rest#*| }" | sed -E 's/ ([0-9]+ bytes): .*/ \1/' ;;
      tcp-close)
        echo "    $time tcp from $peer, ${rest%% *}:"
        echo "${rest#* hex=}" >"$state/connection.hex"
        reading "$state/connection.hex" --hex
        ;;
    esac
  done <"$journal"
  for picture in "${journal%.log}"-*.png; do
    if [[ -e "$picture" ]]; then echo "    printed: $picture"; fi
  done
done
rm -f "$state/connection.hex"
echo "  USB printer on COM5 ($state/serial.out), $(stat -c %s "$state/serial.out") bytes:"
reading "$state/serial.out"
printf '\ndemo: the tour'"'"'s pictures are in %s\n' "${shots#"$repo"/}"
