// One owner for every kind of platform handle (GDI objects, kernel handles,
// sockets): closes what it holds when it goes, can be moved, never copied.
// `Traits` gives the handle type, its "none" value, what counts as held, and
// how to close it:
//
//   struct Traits {
//     using Handle = ...;
//     static Handle None();
//     static bool Held(Handle h);
//     static void Close(Handle h);
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

  // get, release and reset keep std::unique_ptr's names and meanings.
  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Held(handle_); }
  // Gives the handle up without closing it.
  Handle release() {
    const Handle h = handle_;
    handle_ = Traits::None();
    return h;
  }
  void reset(Handle h = Traits::None()) {
    if (Traits::Held(handle_)) Traits::Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::None();
};

}  // namespace korvante
