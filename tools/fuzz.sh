#!/usr/bin/env bash
# tools/fuzz.sh SECONDS [JOBS]
# Builds the fuzz preset and runs every libFuzzer target of tests/fuzz for
# SECONDS each, JOBS targets at a time (default 1). Each target first replays
# its committed findings (tests/fuzz/regressions/NAME), then fuzzes from its
# seeds (tests/fuzz/seeds/NAME) into a working corpus kept in build/fuzz/corpus,
# so later runs go on from where earlier ones stopped. A new finding is written
# to build/fuzz/findings/NAME-*; commit it under regressions/NAME once fixed.
#
# Prints one line per target, then exactly one summary line:
#   fuzz: T targets, N execs, C crashes
# and exits non-zero when any target crashed or broke an invariant.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: tools/fuzz.sh SECONDS [JOBS]}
jobs=${2:-1}
[[ "$seconds" =~ ^[0-9]+$ && "$seconds" -gt 0 ]] || { echo "fuzz: SECONDS must be a positive number" >&2; exit 2; }
[[ "$jobs" =~ ^[0-9]+$ && "$jobs" -gt 0 ]] || { echo "fuzz: JOBS must be a positive number" >&2; exit 2; }

command -v clang++-14 >/dev/null || { echo "fuzz: clang++-14 is missing (run tools/install-deps.sh)" >&2; exit 1; }
cmake --preset fuzz >/dev/null || { echo "fuzz: configuring the fuzz preset failed" >&2; exit 1; }
mkdir -p build/fuzz
# Progress lines hidden; warnings and errors kept.
build_ok=0
cmake --build --preset fuzz >build/fuzz/build.log 2>&1 || build_ok=$?
grep -v -E '^\[ *[0-9]+%\]' build/fuzz/build.log || true
((build_ok == 0)) || { echo "fuzz: building the fuzz preset failed" >&2; exit 1; }

bin=build/fuzz/tests/fuzz
# Logs of this run; kept only when something failed. Runs may overlap (the
# benchmark beside the test command): each has its own.
work=build/fuzz/run-$$
mkdir -p "$work" build/fuzz/corpus build/fuzz/findings
mapfile -t targets < <(find "$bin" -maxdepth 1 -name '*_fuzz' -type f -executable -printf '%f\n' | sed 's/_fuzz$//' | sort)
((${#targets[@]} > 0)) || { echo "fuzz: no targets were built" >&2; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# One target: the replay, then the run. Writes NAME.execs and NAME.status
# (ok, or what failed) beside its log.
run_target() {
  local name=$1 exe=$bin/${1}_fuzz log=$work/$1.log
  local regressions=tests/fuzz/regressions/$name execs=0 status=ok
  : >"$log"
  if compgen -G "$regressions/*" >/dev/null; then
    local files=("$regressions"/*)
    if "$exe" "${files[@]}" >>"$log" 2>&1; then
      execs=${#files[@]}
    else
      status="a committed finding fails again (see $log)"
    fi
  fi
  if [[ $status == ok ]]; then
    mkdir -p "build/fuzz/corpus/$name"
    local seeds=() run_status=0
    [[ -d tests/fuzz/seeds/$name ]] && seeds=("tests/fuzz/seeds/$name")
    "$exe" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$name-" "build/fuzz/corpus/$name" "${seeds[@]}" \
      >>"$log" 2>&1 || run_status=$?
    local ran
    ran=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    execs=$((execs + ${ran:-0}))
    if ((run_status != 0)); then
      local artifact
      artifact=$(sed -n "s/.*Test unit written to //p" "$log" | tail -n 1)
      status="finding ${artifact:-without an artifact} (see $log)"
    fi
  fi
  echo "$execs" >"$work/$name.execs"
  echo "$status" >"$work/$name.status"
}

running=0
for name in "${targets[@]}"; do
  run_target "$name" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

total=0
crashes=0
for name in "${targets[@]}"; do
  execs=$(cat "$work/$name.execs")
  status=$(cat "$work/$name.status")
  total=$((total + execs))
  if [[ $status == ok ]]; then
    printf '  %-20s %12d execs\n' "$name" "$execs"
  else
    crashes=$((crashes + 1))
    printf '  %-20s %12d execs  CRASH: %s\n' "$name" "$execs" "$status"
  fi
done
echo "fuzz: ${#targets[@]} targets, $total execs, $crashes crashes"
((crashes == 0)) || exit 1
rm -rf "$work"
