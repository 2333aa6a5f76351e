// Owner of one GDI object (font, brush, pen): deleted when the owner goes.
#pragma once

#include <windows.h>

#include "core/unique_handle.h"

namespace korvante {

template <typename Object>
struct GdiTraits {
  using Handle = Object;
  static Object None() { return nullptr; }
  static bool Held(Object h) { return h != nullptr; }
  static void Close(Object h) { DeleteObject(h); }
};

template <typename Object>
using GdiOwner = UniqueHandle<GdiTraits<Object>>;

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
