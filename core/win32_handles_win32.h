// RAII owners for the Win32 handles of USB enumeration and the USB send path.
#pragma once

#include <windows.h>

#include "core/unique_handle.h"

namespace korvante {

// A kernel handle (file, event). Both null and INVALID_HANDLE_VALUE mean "none".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE None() { return nullptr; }
  static bool Held(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
using HandleOwner = UniqueHandle<KernelHandleTraits>;

struct RegistryKeyTraits {
  using Handle = HKEY;
  static HKEY None() { return nullptr; }
  static bool Held(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using KeyOwner = UniqueHandle<RegistryKeyTraits>;

// Opens `subKey` of `parent` for reading into `key`; false (and `key` as it
// was) when it does not open.
inline bool OpenKeyForReading(KeyOwner& key, HKEY parent, const wchar_t* subKey) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(parent, subKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  key.reset(opened);
  return true;
}

}  // namespace korvante
