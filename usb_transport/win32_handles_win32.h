// RAII owners for the Win32 handles of USB enumeration and the USB send path.
#pragma once

#include <windows.h>

#include "commands/unique_handle.h"

namespace korvante {

// A kernel handle (file, event). Both null and INVALID_HANDLE_VALUE mean "none".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE none() { return nullptr; }
  static bool held(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
using HandleOwner = UniqueHandle<KernelHandleTraits>;

// Owns an open registry key.
class KeyOwner {
 public:
  KeyOwner() = default;
  KeyOwner(const KeyOwner&) = delete;
  KeyOwner& operator=(const KeyOwner&) = delete;
  ~KeyOwner() {
    if (key_ != nullptr) RegCloseKey(key_);
  }

  // Opens `subKey` of `parent` for reading; false (and no key) when it does not open.
  bool open(HKEY parent, const wchar_t* subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = key;
    return true;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace korvante
