// The drivers' answer timer (the end-to-end tests and the benchmarks): sends
// the tool's window one message after another from a thread of its own and
// keeps the longest round trip, the time a user's input would wait, and how
// many round trips took longer than a frame at 60 Hz (16 ms).
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

namespace korvante::ui {

class AnswerTimer {
 public:
  static constexpr double kFrameMs = 16.0;

  // `observe`, when given, sees every round trip's time (on the timer's thread).
  explicit AnswerTimer(HWND window, std::function<void(double ms)> observe = {})
      : observe_(std::move(observe)), thread_([this, window] {
          using Clock = std::chrono::steady_clock;
          while (!stop_) {
            const auto sent = Clock::now();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
            const double took =
                std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
            longest_ = std::max(longest_.load(), took);
            if (took > kFrameMs) ++slow_;
            ++count_;
            if (observe_) observe_(took);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  AnswerTimer(const AnswerTimer&) = delete;
  AnswerTimer& operator=(const AnswerTimer&) = delete;
  ~AnswerTimer() { Stop(); }

  // Ends the timing and returns the longest answer; the figures stay readable.
  double Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return longest_;
  }
  double Longest() const { return longest_; }
  long Count() const { return count_; }
  // Answers that took longer than a frame.
  long Slow() const { return slow_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> longest_{0};
  std::atomic<long> count_{0};
  std::atomic<long> slow_{0};
  std::function<void(double)> observe_;
  std::thread thread_;
};

}  // namespace korvante::ui
