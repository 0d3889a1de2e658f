#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

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
// schedule (start + n * period on a monotonic clock) and has exactly one
// single-shot precise Qt timer armed for the time left to its next tick, so
// ticks do not drift; after a stall the missed ticks are skipped, not burst.
// A timer that does not run has nothing armed.
class TickScheduler final : public QObject {
 public:
  using Deliver = std::function<void(ui::Timer&)>;

  explicit TickScheduler(Deliver deliver);
  TickScheduler(const TickScheduler&) = delete;
  TickScheduler& operator=(const TickScheduler&) = delete;
  TickScheduler(TickScheduler&&) = delete;
  TickScheduler& operator=(TickScheduler&&) = delete;
  ~TickScheduler() override;

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

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  struct Schedule {
    ui::Timer* timer;
    std::chrono::nanoseconds period;
    std::chrono::nanoseconds next;  // on elapsed_
    int qtTimer;
  };
  [[nodiscard]] std::chrono::nanoseconds now() const;
  int arm(std::chrono::nanoseconds remaining);

  Deliver deliver_;
  QElapsedTimer elapsed_;
  std::vector<Schedule> schedules_;
};

}  // namespace ui::qt
