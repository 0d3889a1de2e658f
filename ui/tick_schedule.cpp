#include "ui/tick_schedule.h"

#include <algorithm>

#include "ui/form.h"
#include "ui/timer.h"

namespace ui {

void TickSchedule::update(Timer& timer, Time now) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& entry) { return entry.timer == &timer; });
  if (!timer.running()) {
    if (found != entries_.end()) {
      entries_.erase(found);
    }
    return;
  }
  const Time period = timer.period();
  if (found == entries_.end()) {
    entries_.push_back(Entry{&timer, period, now + period, nextOrder_++});
  } else if (found->period != period) {
    found->period = period;
    found->due = now + period;
  }
}

void TickSchedule::forget(const Form& form) {
  std::erase_if(entries_, [&](const Entry& entry) { return &entry.timer->form() == &form; });
}

std::vector<TickSchedule::Entry>::const_iterator TickSchedule::earliest() const {
  return std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.due != b.due ? a.due < b.due : a.order < b.order;
  });
}

std::optional<TickSchedule::Time> TickSchedule::nextDue() const {
  const auto next = earliest();
  if (next == entries_.end()) {
    return std::nullopt;
  }
  return next->due;
}

Timer* TickSchedule::takeDue(Time now) {
  const auto found = earliest();
  if (found == entries_.end() || found->due > now) {
    return nullptr;
  }
  // On to the first tick still ahead of `now`: the next one in line, or
  // after a stall the one past it, the missed ones skipped.
  Entry& next = entries_[static_cast<std::size_t>(found - entries_.begin())];
  next.due += next.period * ((now - next.due) / next.period + 1);
  return next.timer;
}

}  // namespace ui
