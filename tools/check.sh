#!/usr/bin/env bash
# The whole test run: installs what is missing, checks the formatting, builds
# the host and Windows presets and runs every test of both (the Windows tests
# under Wine). Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

echo "== format check"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

for preset in host windows; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  # Progress lines hidden; warnings, errors and the build's status kept.
  cmake --build --preset "$preset" 2>&1 | { grep -v -E '^\[ *[0-9]+%\]' || true; }
  echo "== $preset: tests"
  ctest --preset "$preset"
done

echo "== host-tsan: threaded code under ThreadSanitizer"
cmake --preset host-tsan >/dev/null
cmake --build --preset host-tsan 2>&1 | { grep -v -E '^\[ *[0-9]+%\]' || true; }
ctest --preset host-tsan --no-tests=ignore
