#!/usr/bin/env bash
# Installs the Debian packages listed in tools/packages.txt that are missing,
# then the npm packages the command tests compare with.
# Idempotent and quiet: prints nothing when everything is already there.
# Runs as root on Debian 12 (apt-get update once, only when something is missing).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if ((${#missing[@]} > 0)); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || { echo "install-deps: apt-get update failed" >&2; exit 1; }
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { echo "install-deps: installing ${missing[*]} failed" >&2; exit 1; }
fi

# --- npm packages ------------------------------------------------------------
# The independent ESC/POS encoders that tests/commands compares the tool's
# bytes with, at the exact versions of their lock file. Reinstalled only when
# node_modules is missing or older than the lock file.
reference="$here/../tests/commands/escpos-reference"
if [[ ! -d "$reference/node_modules" || "$reference/package-lock.json" -nt "$reference/node_modules" ]]; then
  if ! command -v npm >/dev/null; then
    echo "install-deps: npm is missing (Node.js 20 with npm is needed by the tests)" >&2
    exit 1
  fi
  npm ci --prefix "$reference" --no-audit --no-fund --loglevel=error >/dev/null
  touch "$reference/node_modules"
fi
