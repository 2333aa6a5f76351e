// Work handed to a thread of its own, as a callable that owns its closure.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace korvante {

// A move-only callable taking no arguments. It owns its closure: destroying the
// callable destroys the closure. (std::move_only_function is not in g++ 12.)
template <typename Result>
class MoveOnlyTask {
 public:
  MoveOnlyTask() = default;
  // std::conjunction stops at a task itself, so a result type that holds a
  // task of its own (one still incomplete here) is never asked about.
  template <typename F, typename = std::enable_if_t<std::conjunction_v<
                            std::negation<std::is_same<std::decay_t<F>, MoveOnlyTask>>,
                            std::is_invocable_r<Result, std::decay_t<F>&>>>>
  MoveOnlyTask(F&& f) : impl_(std::make_unique<Holder<std::decay_t<F>>>(std::forward<F>(f))) {}

  MoveOnlyTask(MoveOnlyTask&&) noexcept = default;
  MoveOnlyTask& operator=(MoveOnlyTask&&) noexcept = default;

  explicit operator bool() const { return impl_ != nullptr; }
  // Calling an empty task is a programmer error.
  Result operator()() { return impl_->Call(); }

 private:
  struct Base {
    virtual ~Base() = default;
    virtual Result Call() = 0;
  };
  template <typename F>
  struct Holder final : Base {
    explicit Holder(F&& f) : fn(std::move(f)) {}
    explicit Holder(const F& f) : fn(f) {}
    Result Call() override { return static_cast<Result>(fn()); }
    F fn;
  };
  std::unique_ptr<Base> impl_;
};

}  // namespace korvante
