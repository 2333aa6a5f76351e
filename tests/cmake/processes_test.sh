#!/usr/bin/env bash
# cmake/processes.sh ends a recorded PID only while it still runs the program
# recorded for it: a record left by a run from before a reboot names PIDs that
# other programs may hold now, and those must live on.
#
#   processes_test.sh REPO
set -euo pipefail
repo=$(cd "${1:?repository root}" && pwd)
# shellcheck source=../../cmake/processes.sh
source "$repo/cmake/processes.sh"
scratch=$(mktemp -d)
sleep 5 &
recorded=$!
sleep 60 &
other=$!
trap 'kill "$recorded" "$other" 2>/dev/null || true; rm -rf "$scratch"' EXIT
# Both children run sleep once they have exec'd it.
for pid in "$recorded" "$other"; do
  until [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == sleep ]]; do sleep 0.01; done
done

# One line for each way a line can name a PID that is not the recorded one's:
# another program, no program, no PID at all.
printf '%s sleep holder\n%s Xvfb display\n%s\nnot-a-pid sleep\n\n' \
  "$recorded" "$other" "$other" >"$scratch/pids"
stop_recorded "$scratch/pids"

# Running, and not a zombie left by a signal that ended it.
alive() { [[ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" =~ ^[RSD]$ ]]; }

fail=0
status=0
wait "$recorded" || status=$?
((status == 143)) || { echo "FAIL the recorded sleep was not ended (exit $status)"; fail=1; }
stop_process "$other" Xvfb
stop_process "" sleep
sleep 0.2  # long enough for a signal sent to have ended it
alive "$other" || { echo "FAIL a PID recorded for another program was ended"; fail=1; }
((fail == 0)) && echo "ok   recorded PIDs are ended only while they run their recorded program"
exit "$fail"
