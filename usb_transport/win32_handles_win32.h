// RAII owners for the Win32 handles of USB enumeration and the USB send path.
#pragma once

#include <windows.h>

namespace korvante {

// Owns a kernel handle (file, event). Both null and INVALID_HANDLE_VALUE mean "none".
class HandleOwner {
 public:
  HandleOwner() = default;
  explicit HandleOwner(HANDLE h) : handle_(h) {}
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  ~HandleOwner() { reset(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void reset(HANDLE h = nullptr) {
    if (*this) CloseHandle(handle_);
    handle_ = h;
  }
  // Gives the handle up without closing it.
  HANDLE release() {
    const HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }

 private:
  HANDLE handle_ = nullptr;
};

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
