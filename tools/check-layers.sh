#!/usr/bin/env bash
# The folders are the layers. Every #include "folder/..." of a product file
# must name its own folder or one of a level below it; folders of one level
# stand side by side and include none of each other. Tests and tools sit on
# top and may include any product folder; no product file includes them.
# A portable file (one whose name does not end in _win32.cpp or _win32.h)
# includes no Windows header, and no _win32.h header.
#
#   tools/check-layers.sh [ROOT]     checks the tree at ROOT (default: this one)
#
# Prints one line per fault and exits 1 when there is any.
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/..}" && pwd)

# Bottom first. Folders on one line are side by side.
levels=(
  "core"
  "commands discovery transport usb"
  "app"
)
top_folders="tests tools"

declare -A level_of
for i in "${!levels[@]}"; do
  for folder in ${levels[$i]}; do level_of[$folder]=$i; done
done

faults=0
fault() {
  printf '%s\n' "$*"
  faults=$((faults + 1))
}

windows_headers='windows|winsock2|ws2tcpip|iphlpapi|commctrl|uxtheme|winspool|setupapi|cfgmgr32|oleacc|objbase|shlobj|shellapi|process'

cd "$root"
while IFS= read -r -d '' file; do
  folder=${file%%/*}
  [[ -n "${level_of[$folder]+set}" || " $top_folders " == *" $folder "* ]] || continue
  portable=1
  [[ "$file" == *_win32.cpp || "$file" == *_win32.h ]] && portable=0
  lineno=0
  while IFS= read -r line; do
    lineno=$((lineno + 1))
    [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
    quote=${BASH_REMATCH[1]}
    header=${BASH_REMATCH[2]}
    if ((portable)); then
      if [[ "$quote" == "<" && "$header" =~ ^($windows_headers)\.h$ ]]; then
        fault "$file:$lineno: a portable file includes <$header>; its name must end in _win32"
      elif [[ "$quote" == '"' && "$header" == *_win32.h ]]; then
        fault "$file:$lineno: a portable file includes the Windows-only \"$header\""
      fi
    fi
    [[ "$quote" == '"' && "$header" == */* ]] || continue
    target=${header%%/*}
    [[ -n "${level_of[$folder]+set}" ]] || continue  # tests and tools include anything
    if [[ " $top_folders " == *" $target "* ]]; then
      fault "$file:$lineno: product code includes \"$header\" from $target/"
    elif [[ -z "${level_of[$target]+set}" ]]; then
      fault "$file:$lineno: \"$header\" names no folder of the layer table"
    elif [[ "$target" != "$folder" ]]; then
      if ((level_of[$target] > level_of[$folder])); then
        fault "$file:$lineno: $folder/ includes \"$header\" from the layer above it"
      elif ((level_of[$target] == level_of[$folder])); then
        fault "$file:$lineno: $folder/ includes \"$header\" from $target/, which stands beside it"
      fi
    fi
  done <"$file"
done < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0' | sort -z)

if ((faults)); then
  echo "check-layers: $faults include(s) against the layers" >&2
  exit 1
fi
echo "check-layers: every include follows the layers"
