#!/usr/bin/env bash
# The shipped executable as a Windows PC loads it, read from its PE headers
# with the mingw binutils: no debug sections and no symbol table; ASLR, DEP
# and terminal-server awareness set; the stack protector's runtime linked in;
# its manifest still resource 1 of type 24; and no DLL of the compiler's
# runtime among its imports (every one must be part of Windows).
#
#   pe_hardening_test.sh TOOL.exe
set -euo pipefail
tool=${1:?korvante-config.exe}
objdump=x86_64-w64-mingw32-objdump
windres=x86_64-w64-mingw32-windres

fail=0
check() {
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

headers=$($objdump -p "$tool")
sections=$($objdump -h "$tool" | awk '$1 ~ /^[0-9]+$/ {print $2}')
dll_characteristics=$((16#$(awk '$1 == "DllCharacteristics" {print $2}' <<<"$headers")))
# The flags of IMAGE_OPTIONAL_HEADER64.DllCharacteristics.
high_entropy_va=0x0020 dynamic_base=0x0040 nx_compat=0x0100 terminal_server_aware=0x8000
has_flag() { (((dll_characteristics & $1) == $1)); }

check "no debug sections (found: $(grep -c '^\.debug' <<<"$sections" || true))" \
  '! grep -q "^\.debug" <<<"$sections"'
check "no symbol table" 'grep -q "symbols stripped" <<<"$headers"'
check "terminal-server aware" 'has_flag $terminal_server_aware'
check "ASLR (high-entropy, dynamic base) and DEP still set" \
  'has_flag $high_entropy_va && has_flag $dynamic_base && has_flag $nx_compat'
# libssp's failure routine comes in from its archive only when compiled code
# calls it, i.e. when functions carry a canary.
check "the stack protector's runtime is linked in" \
  'grep -aqF "*** stack smashing detected ***" "$tool"'

resources=$($windres -i "$tool" -J coff -O rc)
check "the manifest is resource 1 of type 24, asking for common controls 6" \
  'grep -q "^1 24 " <<<"$resources" && grep -q "Microsoft.Windows.Common-Controls" <<<"$resources"'

mapfile -t imports < <(awk '$1 == "DLL" && $2 == "Name:" {print $3}' <<<"$headers")
runtime=$(printf '%s\n' "${imports[@]}" | grep -i -E '^(lib|cyg|msys)' || true)
check "imports only Windows DLLs (${imports[*]})" '((${#imports[@]} > 0)) && [[ -z "$runtime" ]]'
exit $fail
