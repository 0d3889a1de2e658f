#pragma once

#include <QSocketNotifier>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include "ui/qt/timer_fd.h"

namespace ui {
class Timer;
}

namespace ui::qt {

// The tick that follows the one due at `due` on a schedule of `period`: the
// next one in line, or after a stall the first one still ahead of `now`, so
// that missed ticks are skipped rather than delivered in a burst.
[[nodiscard]] constexpr std::chrono::nanoseconds followingTick(std::chrono::nanoseconds due,
                                                               std::chrono::nanoseconds period,
                                                               std::chrono::nanoseconds now) {
  const std::chrono::nanoseconds next = due + period;
  if (next > now) {
    return next;
  }
  return next + period * ((now - next) / period + 1);
}

// Paces the ticks of the model's timers. Each running timer keeps an absolute
// schedule (start + n * period on the monotonic clock), so ticks do not drift;
// after a stall the missed ticks are skipped, not burst. One kernel timer is
// armed for the earliest due tick at its exact absolute time, so the event
// loop wakes once a tick, neither early nor rounded to a millisecond. While
// no timer runs, nothing is armed.
class TickScheduler final {
 public:
  using Deliver = std::function<void(ui::Timer&)>;

  explicit TickScheduler(Deliver deliver);
  TickScheduler(const TickScheduler&) = delete;
  TickScheduler& operator=(const TickScheduler&) = delete;
  TickScheduler(TickScheduler&&) = delete;
  TickScheduler& operator=(TickScheduler&&) = delete;
  ~TickScheduler();

  // Follows a change of the timer's Interval, Enabled or life: keeps the
  // schedule when it runs on at the same period, starts afresh (first tick one
  // period from now) when it starts or changes its period, drops it when it stops.
  void update(ui::Timer& timer);
  // Drops the timer's schedule, whatever its state.
  void forget(const ui::Timer& timer);
  // Drops every schedule.
  void clear();

  [[nodiscard]] std::size_t armedCount() const { return schedules_.size(); }
  [[nodiscard]] bool armed(const ui::Timer& timer) const;
  // Whether the kernel timer will wake the program.
  [[nodiscard]] bool waking() const { return clock_.armed(); }

 private:
  struct Schedule {
    ui::Timer* timer;
    std::chrono::nanoseconds period;
    std::chrono::nanoseconds next;  // on the monotonic clock
  };
  [[nodiscard]] std::vector<Schedule>::iterator earliest();
  void rearm();
  void expired();

  Deliver deliver_;
  std::vector<Schedule> schedules_;
  TimerFd clock_;
  QSocketNotifier notifier_;
};

}  // namespace ui::qt
