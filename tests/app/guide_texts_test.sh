#!/usr/bin/env bash
# The guide for shop staff quotes the program's own texts: every caption
# (<b class="ui">) and message (<span class="msg">) in it must be a string
# literal of the program, u"..." or L"..." exactly, so that a text changed in
# the code cannot stay behind in the guide. Each marked text sits on one line.
#
#   guide_texts_test.sh REPO
set -euo pipefail
repo=${1:?repository root}
guide="$repo/app/guide/huong-dan.html"
sources=("$repo/app" "$repo/commands" "$repo/core" "$repo/discovery" "$repo/transport" "$repo/usb")

fail=0
checked=0
for class in ui msg; do
  case $class in
    ui) open='<b class="ui">' close='</b>' ;;
    msg) open='<span class="msg">' close='</span>' ;;
  esac
  marked=$(grep -o "$open" "$guide" | wc -l)
  mapfile -t texts < <(grep -o "$open[^<]*$close" "$guide" | sed "s|^$open||; s|$close\$||")
  if ((${#texts[@]} != marked)); then
    echo "FAIL $class: $marked marked, ${#texts[@]} on one line with plain text"
    fail=1
  fi
  for text in "${texts[@]}"; do
    checked=$((checked + 1))
    if ! grep -rqF -e "u\"$text\"" -e "L\"$text\"" --include='*.cpp' --include='*.h' "${sources[@]}"; then
      echo "FAIL $class text not in the program: \"$text\""
      fail=1
    fi
  done
done
((checked > 50)) || { echo "FAIL only $checked texts found in $guide"; fail=1; }

# The guide's own words spell it "WiFi", as most of the window does; other
# spellings only where it quotes a caption: the program's (marked, or in
# quotation marks), an attribute's, or Windows' own "Wi-Fi" settings page.
mixed=$(sed -E -e 's#<b class="ui">[^<]*</b>##g; s#<span class="msg">[^<]*</span>##g' \
  -e 's#“[^”]*”##g; s#="[^"]*"##g; s#<b>Wi-Fi</b>##g' "$guide" | grep -n -o -i -E 'wi-?fi' | grep -v ':WiFi$' || true)
if [[ -n "$mixed" ]]; then
  echo "FAIL the guide's own words spell WiFi otherwise (line:word): $(tr '\n' ' ' <<<"$mixed")"
  fail=1
fi
[[ $fail == 0 ]] && echo "ok   $checked captions and messages of the guide are the program's own"
exit $fail
