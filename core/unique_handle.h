// One owner for every kind of platform handle (GDI objects, kernel handles,
// sockets): closes what it holds when it goes, can be moved, never copied.
// `Traits` gives the handle type, its "none" value, what counts as held, and
// how to close it:
//
//   struct Traits {
//     using Handle = ...;
//     static Handle none();
//     static bool held(Handle h);
//     static void close(Handle h);
//   };
#pragma once

namespace korvante {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : handle_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::held(handle_); }
  // Gives the handle up without closing it.
  Handle release() {
    const Handle h = handle_;
    handle_ = Traits::none();
    return h;
  }
  void reset(Handle h = Traits::none()) {
    if (Traits::held(handle_)) Traits::close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::none();
};

}  // namespace korvante
