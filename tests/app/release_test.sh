#!/usr/bin/env bash
# tools/release.sh on the build of this test run:
#  - signed with a throwaway self-signed certificate: the archive holds exactly
#    the executable, the guide with its pictures and SHA256SUMS, which checks
#    out; the signature verifies against that certificate and not another;
#    the signed executable still starts under Wine (a probe run on the
#    window bench, whose network namespace has only loopback);
#  - with a wrong password: it stops, and leaves no archive;
#  - without a certificate: it says the build is unsigned, and packs the
#    built executable unchanged.
#
#   release_test.sh REPO TOOL.exe WORKDIR BENCH.sh BENCH_STATE BENCH_PREFIX
set -euo pipefail
repo=${1:?repo}
tool=${2:?built korvante-config.exe}
work=${3:?work dir}
bench=${4:?app_bench.sh}
bench_state=${5:?bench state}
bench_prefix=${6:?bench prefix}

fail=0
check() {
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

rm -rf "$work"
mkdir -p "$work/cert"
version=$(sed -n 's/^#define KV_VERSION_TEXT "\(.*\)"$/\1/p' "$(dirname "$tool")/../generated/app/version.h")
zip_name="korvante-config-$version-win64.zip"

# A throwaway code-signing certificate, valid for a day, and another one.
certificate() {
  openssl req -x509 -newkey rsa:2048 -sha256 -days 1 -nodes -subj "/CN=$2/O=Korvante test" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$work/cert/$1.key" -out "$work/cert/$1.pem" 2>/dev/null
}
certificate signer "Korvante Release Test"
certificate other "Someone Else"
openssl pkcs12 -export -inkey "$work/cert/signer.key" -in "$work/cert/signer.pem" \
  -passout pass:throwaway-123 -out "$work/cert/signer.p12"
leaf_hash() { openssl x509 -in "$1" -outform DER | sha256sum | cut -d' ' -f1; }

# --- signed ----------------------------------------------------------------------------------
rc=0
KV_SIGN_PFX="$work/cert/signer.p12" KV_SIGN_PASSWORD=throwaway-123 \
  bash "$repo/tools/release.sh" --no-build --out "$work/signed" >"$work/signed.log" 2>&1 || rc=$?
cat "$work/signed.log"
check "signed: release.sh succeeds" '[[ $rc == 0 ]]'
check "signed: it says so" 'grep -q "signed by \".*CN=Korvante Release Test" "$work/signed.log"'
mkdir -p "$work/signed/x"
unzip -q "$work/signed/$zip_name" -d "$work/signed/x"
expected=$(printf '%s\n' SHA256SUMS huong-dan.html korvante-config.exe; grep -o 'src="huong-dan/[^"]*"' \
  "$repo/app/guide/huong-dan.html" | sed 's/^src="//; s/"$//' | sort -u)
actual=$(cd "$work/signed/x" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
check "signed: the archive holds the exe, the guide, its pictures and SHA256SUMS" \
  '[[ "$actual" == "$(LC_ALL=C sort <<<"$expected")" ]]'
check "signed: SHA256SUMS covers every other file and checks out" \
  '(cd "$work/signed/x" && sha256sum --quiet -c SHA256SUMS) && [[ $(wc -l <"$work/signed/x/SHA256SUMS") == $(($(wc -l <<<"$actual") - 1)) ]]'
all_png() {
  local f
  for f in "$work/signed/x"/huong-dan/*; do
    [[ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] || return 1
    # Colour type 3 (a palette) in IHDR, and small enough to send by chat.
    [[ "$(od -An -tu1 -j25 -N1 "$f" | tr -d ' ')" == 3 && $(stat -c %s "$f") -lt $((150 * 1024)) ]] || return 1
  done
}
check "signed: the pictures are palette PNG files under 150 KB each" 'all_png'
signed_exe="$work/signed/x/korvante-config.exe"
verify() {
  osslsigncode verify -in "$signed_exe" -CAfile "$work/cert/$1.pem" -ignore-cdp \
    -require-leaf-hash "sha256:$(leaf_hash "$work/cert/$1.pem")" >"$work/verify-$1.log" 2>&1
}
check "signed: the signature verifies against the throwaway certificate" 'verify signer'
check "signed: and not against another one" '! verify other'

# The signed executable still starts under Wine: a probe run on the bench.
mkdir -p "$work/run"
cp "$signed_exe" "$work/run/korvante-config.exe"
rc=0
bash "$bench" --run "$bench_state" "$bench_prefix" "$work/run/korvante-config.exe" --probe \
  </dev/null >"$work/run.log" 2>&1 || rc=$?
report="$work/run/korvante-native-probe.txt"
check "signed: the executable starts under Wine and ends with 0" '[[ $rc == 0 ]]'
check "signed: its probe report is written" \
  '[[ -f "$report" ]] && head -n 1 "$report" | grep -q "^Build=korvante-native-" && grep -q "^USB_COUNT=" "$report"'

# --- a wrong password ---------------------------------------------------------------------
rc=0
KV_SIGN_PFX="$work/cert/signer.p12" KV_SIGN_PASSWORD=wrong \
  bash "$repo/tools/release.sh" --no-build --out "$work/wrong" >"$work/wrong.log" 2>&1 || rc=$?
check "wrong password: release.sh fails and says why" '[[ $rc != 0 ]] && grep -q "wrong password" "$work/wrong.log"'
check "wrong password: no archive" '[[ ! -e "$work/wrong/$zip_name" ]]'

# --- unsigned --------------------------------------------------------------------------------
rc=0
env -u KV_SIGN_PFX -u KV_SIGN_PASSWORD -u KV_SIGN_TIMESTAMP_URL \
  bash "$repo/tools/release.sh" --no-build --out "$work/unsigned" >"$work/unsigned.log" 2>&1 || rc=$?
cat "$work/unsigned.log"
check "unsigned: release.sh succeeds and says the build is unsigned" \
  '[[ $rc == 0 ]] && grep -q "UNSIGNED" "$work/unsigned.log"'
mkdir -p "$work/unsigned/x"
unzip -q "$work/unsigned/$zip_name" -d "$work/unsigned/x"
check "unsigned: the packed executable is the built one" 'cmp -s "$tool" "$work/unsigned/x/korvante-config.exe"'
check "unsigned: it carries no signature" \
  '! osslsigncode verify -in "$work/unsigned/x/korvante-config.exe" -ignore-cdp >/dev/null 2>&1'
check "unsigned: the same guide as the signed archive" \
  'cmp -s "$work/signed/x/huong-dan.html" "$work/unsigned/x/huong-dan.html" && diff -rq "$work/signed/x/huong-dan" "$work/unsigned/x/huong-dan" >/dev/null'
exit $fail
