#pragma once

#include <chrono>

namespace ui::qt {

// A kernel timer (timerfd) on CLOCK_MONOTONIC, closed with its owner.
class TimerFd final {
 public:
  TimerFd();
  TimerFd(const TimerFd&) = delete;
  TimerFd& operator=(const TimerFd&) = delete;
  TimerFd(TimerFd&&) = delete;
  TimerFd& operator=(TimerFd&&) = delete;
  ~TimerFd();

  [[nodiscard]] int get() const { return fd_; }
  // Expires once at `deadline` on the monotonic clock (at once if it is past).
  void armAt(std::chrono::nanoseconds deadline) const;
  void disarm() const;
  // Takes the expiry that woke the reader, if any.
  void acknowledge() const;

 private:
  int fd_;
};

// The monotonic clock the schedules and the kernel timer share.
[[nodiscard]] std::chrono::nanoseconds monotonicNow();

}  // namespace ui::qt
