#!/usr/bin/env bash
# The whole test run: installs what is missing, checks the formatting and
# that every include follows the folders' layers (tools/check-layers.sh),
# tests the shell helpers that the scripts share (tests/cmake), then
# builds and tests the host preset (ASan and UBSan), the host-tsan preset (the
# threaded tests under ThreadSanitizer) and the Windows preset (under Wine),
# then runs every fuzz target briefly (preset fuzz, tools/fuzz.sh).
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

echo "== format check"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

echo "== layer check"
bash tools/check-layers.sh
bash tests/layers/check_layers_test.sh .

echo "== shell helpers"
bash tests/cmake/processes_test.sh .

for preset in host host-tsan windows; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  # Progress lines hidden; warnings, errors and the build's status kept.
  cmake --build --preset "$preset" 2>&1 | { grep -v -E '^\[ *[0-9]+%\]' || true; }
  echo "== $preset: tests"
  # host-tsan runs only the tests labelled "threads".
  ctest --preset "$preset" --no-tests=ignore
done

echo "== fuzz: build, replay the findings, five seconds of each target"
bash tools/fuzz.sh 5 2
