#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace ui {
class Form;
class Timer;
}  // namespace ui

namespace ui::win32 {

// When each running model timer ticks next, on an absolute schedule of a
// monotonic counter (start + n * period), so ticks do not drift however late
// each one is delivered. After a stall the missed ticks are skipped, not
// delivered in a burst. The schedule only keeps time; it delivers nothing.
class TickSchedule {
 public:
  using Count = std::int64_t;  // counter units, `frequency` a second

  explicit TickSchedule(Count frequency) : frequency_(frequency) {}

  // Follows a change of the timer's Interval, Enabled or life: a timer that
  // goes on at the same period keeps its schedule; one that starts or changes
  // its period ticks first one period after `now`; one that stops is dropped.
  void update(Timer& timer, Count now);
  // Drops the schedules of a form's timers.
  void forget(const Form& form);
  void clear() { entries_.clear(); }

  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] bool contains(const Timer& timer) const;
  // When the earliest tick is due; nothing when no timer runs.
  [[nodiscard]] std::optional<Count> nextDue() const;

  // The timer whose tick is due at `now` (the earliest; among equals, the one
  // started first), with its schedule already moved past `now`; nullptr when
  // none is due. Each timer comes at most once for one `now`, so a loop that
  // delivers until nullptr ends even when the ticks themselves take long.
  Timer* takeDue(Count now);

  [[nodiscard]] Count toCount(std::chrono::milliseconds duration) const {
    return duration.count() * frequency_ / 1000;
  }

 private:
  struct Entry {
    Timer* timer;
    Count period;
    Count due;
    std::uint64_t order;
  };
  std::vector<Entry>::iterator earliest();

  Count frequency_;
  std::vector<Entry> entries_;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace ui::win32
