#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

class Form;
class Timer;

// When each running timer ticks next, on an absolute schedule of a monotonic
// clock (start + n * period), so ticks do not drift however late each one is
// delivered. After a stall the missed ticks are skipped, not delivered in a
// burst. The schedule only keeps time; the Application delivers the ticks
// and the driver wakes it when the earliest one is due.
class TickSchedule {
 public:
  using Time = std::chrono::nanoseconds;  // since the driver's clock began

  // Follows a change of the timer's Interval or Enabled: a timer that goes on
  // at the same period keeps its schedule; one that starts or changes its
  // period ticks first one period after `now`; one that stops is dropped.
  void update(Timer& timer, Time now);
  // Drops the schedules of a form's timers.
  void forget(const Form& form);
  void clear() { entries_.clear(); }

  // When the earliest tick is due; nothing when no timer runs.
  [[nodiscard]] std::optional<Time> nextDue() const;

  // The timer whose tick is due at `now` (the earliest; among equals, the one
  // started first), with its schedule already moved past `now`; nullptr when
  // none is due. Each timer comes at most once for one `now`, so a loop that
  // delivers until nullptr ends even when the ticks themselves take long.
  Timer* takeDue(Time now);

 private:
  struct Entry {
    Timer* timer;
    Time period;
    Time due;
    std::uint64_t order;
  };
  [[nodiscard]] std::vector<Entry>::const_iterator earliest() const;

  std::vector<Entry> entries_;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace ui
