# Sourced by the benches and tools that need a display of their own:
#
#   source cmake/xvfb.sh
#   start_xvfb        starts Xvfb on whichever display number is free and sets
#                     XVFB_PID and XVFB_DISPLAY (":N"); fails when it did not start,
#                     having ended the Xvfb it started
#
# The caller stops it by that PID. XVFB_PID is set as soon as Xvfb runs, so a
# trap set before start_xvfb (kill "${XVFB_PID:-}") ends it on every path.
XVFB_PID=""
start_xvfb() {
  local displayfile
  displayfile=$(mktemp)
  # Xvfb picks a free display itself and reports its number on a descriptor.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" \
    </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s "$displayfile" ]] && break
    sleep 0.05
  done
  XVFB_DISPLAY=":$(tr -d '[:space:]' <"$displayfile")"
  rm -f "$displayfile"
  if [[ "$XVFB_DISPLAY" == ":" ]]; then
    echo "Xvfb did not start" >&2
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
    return 1
  fi
}
