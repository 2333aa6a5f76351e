// Reading the registry: strings of a key, and the names of its subkeys. Read
// only; a value or key that cannot be read counts as absent.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/wide_text_win32.h"

namespace korvante {

// A string (or the first string of a list) held in `buffer` as the registry
// reported it with `type`; empty for other types.
inline std::u16string RegistryString(const std::vector<wchar_t>& buffer, DWORD type) {
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return {};
  return FromWide(buffer.data());  // the caller's buffer always holds a terminator
}

// Value `valueName` of `key` as a string of at most `limitBytes`; empty when it
// is absent, of another type, or larger.
inline std::u16string ReadRegistryString(HKEY key, const wchar_t* valueName, DWORD limitBytes) {
  // Two spare units so that a value stored without its terminator still ends.
  std::vector<wchar_t> buffer(limitBytes / sizeof(wchar_t) + 2, L'\0');
  DWORD type = 0;
  DWORD size = limitBytes;
  if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &size) != ERROR_SUCCESS) {
    return {};
  }
  return RegistryString(buffer, type);
}

// The names of the subkeys of `key`, in the registry's order; a subkey whose
// name cannot be read (longer than a key name may be) is left out.
inline std::vector<std::u16string> SubkeyNames(HKEY key) {
  constexpr DWORD kKeyNameChars = 256;  // the registry's limit, terminator included
  std::vector<std::u16string> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[kKeyNameChars] = {};
    DWORD nameChars = kKeyNameChars;
    const LONG status =
        RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS && name[0] != L'\0') names.push_back(FromWide(name));
  }
  return names;
}

}  // namespace korvante
