#!/usr/bin/env bash
# tools/check-layers.sh passes on the tree as it is, and fails, naming the
# file and line, on each kind of include it exists to refuse, planted into a
# copy of the tree: one up a layer, one sideways, one from tests/ into the
# product, a Windows header in a portable file, and a test of a product folder
# reaching up or sideways, to a product header or to another folder's test
# header.
#
#   check_layers_test.sh REPO
set -euo pipefail
repo=$(cd "${1:?repository root}" && pwd)
check="$repo/tools/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail=0
bash "$check" "$repo" >/dev/null || { echo "FAIL the tree itself breaks the layers"; fail=1; }

# One planted include per case: the file, the line to add, what the check must say.
cases=(
  "core/printer_records.h|#include \"commands/device_settings.h\"|from the layer above it"
  "commands/device_settings.h|#include \"discovery/refresh.h\"|which stands beside it"
  "usb/usb_rules.h|#include \"transport/send_jobs.h\"|which stands beside it"
  "discovery/refresh.cpp|#include \"app/layout.h\"|from the layer above it"
  "transport/send_jobs.cpp|#include \"tests/core/bytes.h\"|product code includes"
  "commands/queue_ticket.cpp|#include <windows.h>|a portable file includes <windows.h>"
  "discovery/udp_discovery.cpp|#include \"discovery/udp_discovery_win32.h\"|Windows-only"
  "tests/core/printer_records_test.cpp|#include \"discovery/refresh.h\"|from the layer above it"
  "tests/transport/send_jobs_test.cpp|#include \"app/lan_job.h\"|from the layer above it"
  "tests/discovery/refresh_test.cpp|#include \"usb/usb_rules.h\"|which stands beside it"
  "tests/commands/info_slip_test.cpp|#include \"tests/discovery/fake_sweep_network.h\"|which stands beside it"
  "tests/core/unique_handle_test.cpp|#include \"tests/app/png_writer.h\"|from the layer above it"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r file line expected <<<"$entry"
  rm -rf "$scratch/tree"
  mkdir "$scratch/tree"
  (cd "$repo" && git ls-files -z -- '*.cpp' '*.h' | xargs -0 cp --parents -t "$scratch/tree")
  printf '%s\n' "$line" >>"$scratch/tree/$file"
  if out=$(bash "$check" "$scratch/tree" 2>&1); then
    echo "FAIL planted in $file, passed: $line"
    fail=1
  elif ! grep -qF -- "$file:" <<<"$out" || ! grep -qF -- "$expected" <<<"$out"; then
    echo "FAIL planted in $file, wrong report: $out"
    fail=1
  fi
done
((fail == 0)) && echo "ok   the layer check passes the tree and refuses ${#cases[@]} planted includes"
exit "$fail"
