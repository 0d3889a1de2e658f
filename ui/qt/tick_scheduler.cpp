#include "ui/qt/tick_scheduler.h"

#include <QTimerEvent>
#include <algorithm>
#include <utility>

#include "ui/controls.h"

namespace ui::qt {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

TickScheduler::TickScheduler(Deliver deliver) : deliver_(std::move(deliver)) {
  elapsed_.start();
}

TickScheduler::~TickScheduler() {
  clear();
}

nanoseconds TickScheduler::now() const {
  return nanoseconds(elapsed_.nsecsElapsed());
}

int TickScheduler::arm(nanoseconds remaining) {
  // Rounded up: a tick may come a little late but never early.
  const auto wait = std::chrono::ceil<milliseconds>(std::max(remaining, nanoseconds(0)));
  return startTimer(wait, Qt::PreciseTimer);
}

bool TickScheduler::armed(const ui::Timer& timer) const {
  return std::any_of(schedules_.begin(), schedules_.end(),
                     [&](const Schedule& s) { return s.timer == &timer; });
}

void TickScheduler::update(ui::Timer& timer) {
  const auto found = std::find_if(schedules_.begin(), schedules_.end(),
                                  [&](const Schedule& s) { return s.timer == &timer; });
  if (!timer.running()) {
    forget(timer);
    return;
  }
  const nanoseconds period = timer.period();
  if (found != schedules_.end()) {
    if (found->period == period) {
      return;
    }
    killTimer(found->qtTimer);
    found->period = period;
    found->next = now() + period;
    found->qtTimer = arm(period);
    return;
  }
  schedules_.push_back(Schedule{&timer, period, now() + period, arm(period)});
}

void TickScheduler::forget(const ui::Timer& timer) {
  std::erase_if(schedules_, [&](const Schedule& s) {
    if (s.timer != &timer) {
      return false;
    }
    killTimer(s.qtTimer);
    return true;
  });
}

void TickScheduler::clear() {
  for (const Schedule& schedule : schedules_) {
    killTimer(schedule.qtTimer);
  }
  schedules_.clear();
}

void TickScheduler::timerEvent(QTimerEvent* event) {
  const int id = event->timerId();
  killTimer(id);
  const auto found = std::find_if(schedules_.begin(), schedules_.end(),
                                  [&](const Schedule& s) { return s.qtTimer == id; });
  if (found == schedules_.end()) {
    return;
  }
  const nanoseconds current = now();
  found->next = followingTick(found->next, found->period, current);
  found->qtTimer = arm(found->next - current);
  // Last: the tick may change or end this schedule, or the whole program.
  deliver_(*found->timer);
}

}  // namespace ui::qt
