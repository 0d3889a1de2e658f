#include "ui/qt/tick_scheduler.h"

#include <algorithm>
#include <utility>

#include "ui/controls.h"

namespace ui::qt {

using std::chrono::nanoseconds;

TickScheduler::TickScheduler(Deliver deliver)
    : deliver_(std::move(deliver)), notifier_(clock_.get(), QSocketNotifier::Read) {
  QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { expired(); });
}

TickScheduler::~TickScheduler() = default;

bool TickScheduler::armed(const ui::Timer& timer) const {
  return std::any_of(schedules_.begin(), schedules_.end(),
                     [&](const Schedule& s) { return s.timer == &timer; });
}

std::vector<TickScheduler::Schedule>::iterator TickScheduler::earliest() {
  return std::min_element(schedules_.begin(), schedules_.end(),
                          [](const Schedule& a, const Schedule& b) { return a.next < b.next; });
}

void TickScheduler::rearm() {
  const auto next = earliest();
  if (next == schedules_.end()) {
    clock_.disarm();
  } else {
    clock_.armAt(next->next);
  }
}

void TickScheduler::update(ui::Timer& timer) {
  if (!timer.running()) {
    forget(timer);
    return;
  }
  const nanoseconds period = timer.period();
  const auto found = std::find_if(schedules_.begin(), schedules_.end(),
                                  [&](const Schedule& s) { return s.timer == &timer; });
  if (found != schedules_.end()) {
    if (found->period == period) {
      return;
    }
    found->period = period;
    found->next = monotonicNow() + period;
  } else {
    schedules_.push_back(Schedule{&timer, period, monotonicNow() + period});
  }
  rearm();
}

void TickScheduler::forget(const ui::Timer& timer) {
  if (std::erase_if(schedules_, [&](const Schedule& s) { return s.timer == &timer; }) > 0) {
    rearm();
  }
}

void TickScheduler::clear() {
  schedules_.clear();
  clock_.disarm();
}

void TickScheduler::expired() {
  clock_.acknowledge();
  const nanoseconds now = monotonicNow();
  const auto due = earliest();
  if (due == schedules_.end() || due->next > now) {
    rearm();
    return;
  }
  // One tick a wake-up: another timer due as well makes the kernel timer
  // expire again at once, after this tick has had its effect.
  due->next = followingTick(due->next, due->period, now);
  ui::Timer& timer = *due->timer;
  rearm();
  // Last: the tick may change or end this schedule, or the whole program.
  deliver_(timer);
}

}  // namespace ui::qt
