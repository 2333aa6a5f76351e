#!/usr/bin/env bash
# tools/benchmarks/fuzz.sh [TOTAL_EXECS] [ROUND_SECONDS] [JOBS]
# The long fuzz run: rounds of tools/fuzz.sh ROUND_SECONDS JOBS (defaults 120
# and 2), each going on from the corpus the earlier ones left in build/fuzz,
# until all targets together have run TOTAL_EXECS inputs (default 10^8).
# Stops at the first crash. Prints each round, the executions per target, and
# one summary line:
#   bench-fuzz: T targets, N execs in S s, C crashes
set -euo pipefail
cd "$(dirname "$0")/../.."

goal=${1:-100000000}
round_seconds=${2:-120}
jobs=${3:-2}
for value in "$goal" "$round_seconds" "$jobs"; do
  [[ "$value" =~ ^[0-9]+$ && "$value" -gt 0 ]] ||
    { echo "usage: tools/benchmarks/fuzz.sh [TOTAL_EXECS] [ROUND_SECONDS] [JOBS]" >&2; exit 2; }
done

declare -A per_target
total=0
rounds=0
start=$(date +%s)
while ((total < goal)); do
  rounds=$((rounds + 1))
  status=0
  out=$(bash tools/fuzz.sh "$round_seconds" "$jobs") || status=$?
  summary=$(tail -n 1 <<<"$out")
  if [[ ! "$summary" =~ ^fuzz:\ ([0-9]+)\ targets,\ ([0-9]+)\ execs,\ ([0-9]+)\ crashes$ ]]; then
    echo "$out"
    echo "bench-fuzz: round $rounds did not finish (see above)" >&2
    exit 1
  fi
  targets=${BASH_REMATCH[1]}
  crashes=${BASH_REMATCH[3]}
  total=$((total + BASH_REMATCH[2]))
  while read -r name execs _; do
    per_target[$name]=$((${per_target[$name]:-0} + execs))
  done < <(grep -E '^  [a-z_]+ +[0-9]+ execs' <<<"$out")
  echo "round $rounds: ${BASH_REMATCH[2]} execs, $total in all, $((($(date +%s) - start))) s"
  if ((status != 0 || crashes > 0)); then
    echo "$out"
    break
  fi
done
elapsed=$(($(date +%s) - start))

for name in $(printf '%s\n' "${!per_target[@]}" | sort); do
  # Each target fuzzed ROUND_SECONDS per round.
  printf '  %-20s %12d execs  %8d per s\n' "$name" "${per_target[$name]}" \
    "$((per_target[$name] / (rounds * round_seconds)))"
done
echo "bench-fuzz: $targets targets, $total execs in $elapsed s, ${crashes} crashes"
((crashes == 0))
