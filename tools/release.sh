#!/usr/bin/env bash
# Makes the release archive dist/korvante-config-VERSION-win64.zip:
#   korvante-config.exe   the Windows executable, Authenticode-signed when a
#                         code-signing certificate is given
#   huong-dan.html        the guide for shop staff, with huong-dan/*.png,
#                         pictures of this build's window taken by its tests
#   SHA256SUMS            the SHA-256 of every other file (sha256sum -c)
#
#   tools/release.sh [--no-build] [--out DIR]
#     --no-build  pack what build/windows already holds (the test command does
#                 this after its own run); the guide's pictures must be newer
#                 than the executable
#     --out DIR   where the zip goes (default: dist/ of the repository)
#
# Signing, when KV_SIGN_PFX is set (Debian's osslsigncode, SHA-256):
#   KV_SIGN_PFX            the PKCS#12 file holding the certificate and its key
#   KV_SIGN_PASSWORD       its password
#   KV_SIGN_TIMESTAMP_URL  optional: an RFC 3161 timestamp server, so that the
#                          signature stays valid after the certificate expires
# Without KV_SIGN_PFX the executable is packed unsigned and the script says so.
#
# The build runs the guide's picture tests, which need what the test command
# needs: root (a network namespace), Xvfb and Wine.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build="$repo/build/windows"
out="$repo/dist"
do_build=1
while (($#)); do
  case $1 in
    --no-build) do_build=0 ;;
    --out)
      out=${2:?--out needs a directory}
      shift
      ;;
    *)
      echo "usage: tools/release.sh [--no-build] [--out DIR]" >&2
      exit 2
      ;;
  esac
  shift
done

die() {
  echo "release: $*" >&2
  exit 1
}
# Runs one step; when it fails, stops naming it.
step() {
  local name=$1
  shift
  echo "== $name"
  "$@" || die "step \"$name\" failed"
}

if ((do_build)); then
  cd "$repo"
  step "configure the windows preset" cmake --preset windows
  step "build the executable, the window tests and the guide" \
    cmake --build --preset windows --target korvante-config app_window_tests guide
  # Pulls in the window bench's set-up and clean-up by their fixture.
  step "take the guide's pictures of this build's window" \
    ctest --preset windows -R '^app_guide_pictures$' --output-on-failure
fi

exe="$build/app/korvante-config.exe"
version_header="$build/generated/app/version.h"
guide_page="$repo/app/guide/huong-dan.html"
pictures="$build/guide/huong-dan"
[[ -f "$exe" ]] || die "no executable at $exe: build the windows preset first"
[[ -f "$version_header" ]] || die "no $version_header: configure the windows preset first"
version=$(sed -n 's/^#define KV_VERSION_TEXT "\(.*\)"$/\1/p' "$version_header")
[[ -n "$version" ]] || die "no KV_VERSION_TEXT in $version_header"
name="korvante-config-$version-win64"

# Every picture the page shows, taken after the executable was built.
mapfile -t shown < <(grep -o 'src="huong-dan/[^"]*"' "$guide_page" | sed 's/^src="huong-dan\///; s/"$//' | sort -u)
((${#shown[@]} > 0)) || die "the guide shows no picture"
for picture in "${shown[@]}"; do
  [[ -f "$pictures/$picture" ]] ||
    die "the guide's picture $picture is missing: run ctest --preset windows -R app_guide_pictures"
  [[ "$pictures/$picture" -nt "$exe" ]] ||
    die "the guide's picture $picture is older than the executable: run ctest --preset windows -R app_guide_pictures"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name" "$stage/$name/huong-dan"
root="$stage/$name"

# --- the executable, signed when a certificate is given --------------------------------
if [[ -n "${KV_SIGN_PFX:-}" ]]; then
  [[ -f "$KV_SIGN_PFX" ]] || die "KV_SIGN_PFX names no file: $KV_SIGN_PFX"
  [[ -n "${KV_SIGN_PASSWORD+set}" ]] || die "KV_SIGN_PFX is set but KV_SIGN_PASSWORD is not"
  export KV_SIGN_PASSWORD
  # The certificates of the file, for checking the signature just made. An
  # older PKCS#12 file (RC2 or 3DES) needs OpenSSL's legacy provider.
  pkcs12() { openssl pkcs12 -in "$KV_SIGN_PFX" -passin env:KV_SIGN_PASSWORD -nokeys "$@"; }
  pkcs12 -clcerts -out "$stage/leaf.pem" 2>"$stage/openssl.log" ||
    pkcs12 -legacy -clcerts -out "$stage/leaf.pem" 2>"$stage/openssl.log" ||
    die "cannot read the certificate in $KV_SIGN_PFX (wrong password?): $(tail -n 1 "$stage/openssl.log")"
  pkcs12 -out "$stage/chain.pem" 2>/dev/null || pkcs12 -legacy -out "$stage/chain.pem" 2>/dev/null ||
    die "cannot read the certificate chain in $KV_SIGN_PFX"
  leaf_hash=$(openssl x509 -in "$stage/leaf.pem" -outform DER | sha256sum | cut -d' ' -f1)
  subject=$(openssl x509 -in "$stage/leaf.pem" -noout -subject -nameopt compat | sed 's/^subject=//')

  timestamp=()
  [[ -n "${KV_SIGN_TIMESTAMP_URL:-}" ]] && timestamp=(-ts "$KV_SIGN_TIMESTAMP_URL")
  echo "== sign korvante-config.exe as \"$subject\"${timestamp:+, timestamped by $KV_SIGN_TIMESTAMP_URL}"
  # The password goes through a pipe, never on a command line.
  printf '%s' "$KV_SIGN_PASSWORD" |
    osslsigncode sign -pkcs12 "$KV_SIGN_PFX" -readpass - -h sha256 \
      -n "Korvante Config Tool" "${timestamp[@]}" \
      -in "$exe" -out "$root/korvante-config.exe" >"$stage/sign.log" 2>&1 ||
    die "signing failed: $(tail -n 3 "$stage/sign.log" | tr '\n' ' ')"

  # The signature must verify, by exactly this certificate, offline.
  cat "$stage/chain.pem" >"$stage/ca.pem"
  [[ -f /etc/ssl/certs/ca-certificates.crt ]] && cat /etc/ssl/certs/ca-certificates.crt >>"$stage/ca.pem"
  osslsigncode verify -in "$root/korvante-config.exe" -CAfile "$stage/ca.pem" -ignore-cdp \
    -require-leaf-hash "sha256:$leaf_hash" >"$stage/verify.log" 2>&1 ||
    die "the signature does not verify: $(grep -i -m 3 -E 'fail|error' "$stage/verify.log" | tr '\n' ' ')"
  signed="signed by \"$subject\" (certificate SHA-256 $leaf_hash), signature verified"
else
  cp "$exe" "$root/korvante-config.exe"
  signed="UNSIGNED: no code-signing certificate given (KV_SIGN_PFX); Windows SmartScreen will warn (\"More info\", then \"Run anyway\", as the guide explains)"
fi

# --- the guide ----------------------------------------------------------------------------
cp "$guide_page" "$root/huong-dan.html"
for picture in "${shown[@]}"; do
  # The picture test leaves palette PNGs under 150 KB (tests/app/guide_pictures.sh).
  colour_type=$(od -An -tu1 -j25 -N1 "$pictures/$picture" | tr -d ' ')
  [[ $colour_type == 3 && $(stat -c %s "$pictures/$picture") -lt $((150 * 1024)) ]] ||
    die "the guide's picture $picture is not a palette PNG under 150 KB: run ctest --preset windows -R app_guide_pictures"
  cp "$pictures/$picture" "$root/huong-dan/$picture"
done

# --- checksums and the archive ----------------------------------------------------------
(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >"$stage/SHA256SUMS") ||
  die "writing SHA256SUMS failed"
mv "$stage/SHA256SUMS" "$root/SHA256SUMS"
# Fixed times and order: the same inputs give the same archive.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || date +%s)}
find "$root" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
zip_path="$out/$name.zip"
(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -9 -q "$stage/$name.zip" -@) ||
  die "writing the zip failed"
mv -f "$stage/$name.zip" "$zip_path"

echo "release: $zip_path ($(stat -c %s "$zip_path") bytes, SHA-256 $(sha256sum "$zip_path" | cut -d' ' -f1))"
echo "  korvante-config.exe $version: $signed"
echo "  huong-dan.html with ${#shown[@]} pictures of this build's window; SHA256SUMS"
