// Owner of one GDI object (font, brush, pen): deleted when the owner goes.
#pragma once

#include <windows.h>

namespace korvante {

template <typename Handle>
class GdiOwner {
 public:
  GdiOwner() = default;
  explicit GdiOwner(Handle h) : handle_(h) {}
  GdiOwner(const GdiOwner&) = delete;
  GdiOwner& operator=(const GdiOwner&) = delete;
  GdiOwner(GdiOwner&& other) noexcept : handle_(other.release()) {}
  GdiOwner& operator=(GdiOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~GdiOwner() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() {
    Handle h = handle_;
    handle_ = nullptr;
    return h;
  }
  void reset(Handle h = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = nullptr;
};

using FontOwner = GdiOwner<HFONT>;
using BrushOwner = GdiOwner<HBRUSH>;
using PenOwner = GdiOwner<HPEN>;

// Selects an object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace korvante
