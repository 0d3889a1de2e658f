#include "ui/win32/tick_schedule.h"

#include <algorithm>

#include "ui/controls.h"
#include "ui/form.h"

namespace ui::win32 {

void TickSchedule::update(Timer& timer, Count now) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& entry) { return entry.timer == &timer; });
  if (!timer.running()) {
    if (found != entries_.end()) {
      entries_.erase(found);
    }
    return;
  }
  const Count period = std::max<Count>(toCount(timer.period()), 1);
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

bool TickSchedule::contains(const Timer& timer) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& entry) { return entry.timer == &timer; });
}

std::vector<TickSchedule::Entry>::iterator TickSchedule::earliest() {
  return std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.due != b.due ? a.due < b.due : a.order < b.order;
  });
}

std::optional<TickSchedule::Count> TickSchedule::nextDue() const {
  const auto next = std::min_element(entries_.begin(), entries_.end(),
                                     [](const Entry& a, const Entry& b) { return a.due < b.due; });
  if (next == entries_.end()) {
    return std::nullopt;
  }
  return next->due;
}

Timer* TickSchedule::takeDue(Count now) {
  const auto found = earliest();
  if (found == entries_.end() || found->due > now) {
    return nullptr;
  }
  Entry& next = *found;
  next.due += next.period;
  if (next.due <= now) {
    next.due += next.period * ((now - next.due) / next.period + 1);
  }
  return next.timer;
}

}  // namespace ui::win32
