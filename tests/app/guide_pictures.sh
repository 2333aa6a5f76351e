#!/usr/bin/env bash
# The guide's pictures of this build's window. The GuidePictures tests take
# them on the window bench as plain RGB files; each is then written again as a
# palette PNG (256 colours, no dithering: the window's flat colours and its
# text come through all but unchanged), a few tens of kilobytes instead of
# 2.1 MB, and must stay under 150 KB, small enough to send by chat.
#
#   guide_pictures.sh BENCH.sh BENCH_STATE BENCH_PREFIX app_window_tests.exe PICTURE_DIR
set -euo pipefail
bench=${1:?app_bench.sh}
bench_state=${2:?bench state}
bench_prefix=${3:?bench prefix}
tests=${4:?app_window_tests.exe}
dir=${5:?picture folder}
limit=$((150 * 1024))

bash "$bench" --run "$bench_state" "$bench_prefix" "$tests" --gtest_brief=1 \
  --gtest_filter='GuidePictures.*'

fail=0
shopt -s nullglob
pictures=("$dir"/*.png)
((${#pictures[@]} > 0)) || { echo "FAIL no picture in $dir"; exit 1; }
for picture in "${pictures[@]}"; do
  convert "$picture" -strip -dither None -colors 256 "PNG8:$picture.palette" &&
    mv "$picture.palette" "$picture" || { echo "FAIL converting $picture"; fail=1; continue; }
  size=$(stat -c %s "$picture")
  # IHDR's colour type, byte 25 of the file: 3 is a palette.
  colour_type=$(od -An -tu1 -j25 -N1 "$picture" | tr -d ' ')
  if [[ $colour_type != 3 ]] || ((size >= limit)); then
    echo "FAIL $(basename "$picture"): colour type $colour_type, $size bytes (a palette under $limit)"
    fail=1
  else
    echo "ok   $(basename "$picture"): palette PNG, $size bytes"
  fi
done
exit $fail
