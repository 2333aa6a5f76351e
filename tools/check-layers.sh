#!/usr/bin/env bash
# The folders are the layers. Every #include "folder/..." of a product file
# must name its own folder or one of a level below it; folders of one level
# stand side by side and include none of each other. The tests of a product
# folder X (tests/X/...) are held to the same order, for product headers and
# for the test headers of tests/Y/... alike: X and the levels below it only.
# The other test folders (the UI driver, the benches, the end-to-end and fuzz
# targets) and the tools sit on top and may include any product folder; no
# product file includes them. A portable file (one whose name does not end in
# _win32.cpp or _win32.h) includes no Windows header, and no _win32.h header.
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
  # The layer the file is held to: its product folder's, or for a test of a
  # product folder (tests/X/...) X's; none for the other tests and tools.
  owner=$folder
  if [[ "$folder" == tests ]]; then
    rest=${file#tests/}
    owner=${rest%%/*}
    [[ "$rest" == */* && -n "${level_of[$owner]+set}" ]] || owner=tests
  fi
  who="$folder/"
  [[ "$folder" == tests && "$owner" != tests ]] && who="tests/$owner/"
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
    [[ -n "${level_of[$owner]+set}" ]] || continue  # other tests and tools include anything
    if [[ "$folder" == tests && "$target" == tests ]]; then
      # A test header of another test folder is held to that folder's layer;
      # those of the UI driver and the benches may be included by any test.
      rest=${header#tests/}
      target=${rest%%/*}
      [[ "$rest" == */* && -n "${level_of[$target]+set}" ]] || continue
    elif [[ "$folder" == tests && " $top_folders " == *" $target "* ]]; then
      continue
    fi
    if [[ " $top_folders " == *" $target "* ]]; then
      fault "$file:$lineno: product code includes \"$header\" from $target/"
    elif [[ -z "${level_of[$target]+set}" ]]; then
      fault "$file:$lineno: \"$header\" names no folder of the layer table"
    elif [[ "$target" != "$owner" ]]; then
      if ((level_of[$target] > level_of[$owner])); then
        fault "$file:$lineno: $who includes \"$header\" from the layer above it"
      elif ((level_of[$target] == level_of[$owner])); then
        fault "$file:$lineno: $who includes \"$header\" from $target/, which stands beside it"
      fi
    fi
  done <"$file"
done < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0' | sort -z)

if ((faults)); then
  echo "check-layers: $faults include(s) against the layers" >&2
  exit 1
fi
echo "check-layers: every include follows the layers"
