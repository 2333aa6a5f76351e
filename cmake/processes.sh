# Sourced by the scripts that start helper processes (the lab's simulators,
# Xvfb, socat, terminal holders) and end them later by the PIDs they wrote
# down. A record can outlive its processes (a run cut short, a reboot), and its
# PIDs may then belong to others: a PID is ended only while it still runs the
# program recorded for it, as the kernel names it (/proc/PID/comm).
#
#   stop_process PID PROGRAM   ends PID if it runs PROGRAM
#   stop_recorded FILE         the same for each "PID PROGRAM ..." line of FILE

stop_process() {
  local pid=$1 program=$2 comm=""
  [[ "$pid" =~ ^[0-9]+$ && -n "$program" ]] || return 0
  read -r comm 2>/dev/null <"/proc/$pid/comm" || true
  if [[ "$comm" == "$program" ]]; then kill "$pid" 2>/dev/null || true; fi
}

stop_recorded() {
  [[ -f "$1" ]] || return 0
  local pid program
  while read -r pid program _; do
    stop_process "$pid" "$program"
  done <"$1"
}
