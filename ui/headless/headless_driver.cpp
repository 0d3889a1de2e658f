#include "ui/headless/headless_driver.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace ui::headless {

void HeadlessDriver::formLoaded(Form& form) {
  form.forEachControl([this](Control& control) {
    if (control.kind() == ControlKind::Timer) {
      timerChanged(static_cast<Timer&>(control));
    }
  });
}

void HeadlessDriver::formShown(Form& form) {
  if (std::find(shown_.begin(), shown_.end(), &form) == shown_.end()) {
    shown_.push_back(&form);
  }
  active_ = &form;
}

void HeadlessDriver::formUnloading(Form& form) {
  std::erase(shown_, &form);
  std::erase_if(repaints_, [&](const auto& repaint) { return repaint.first == &form; });
  std::erase_if(timers_, [&](const Scheduled& s) { return &s.timer->form() == &form; });
  if (active_ == &form) {
    active_ = shown_.empty() ? nullptr : shown_.back();
  }
}

void HeadlessDriver::captionChanged(Form& /*form*/) {}

void HeadlessDriver::repaint(Form& form, const PixelRect& area) {
  ++repaintCount_;
  repaints_.emplace_back(&form, area);
}

std::vector<PixelRect> HeadlessDriver::takeRepaints(const Form& form) {
  std::vector<PixelRect> taken;
  std::erase_if(repaints_, [&](const auto& repaint) {
    if (repaint.first != &form) {
      return false;
    }
    taken.push_back(repaint.second);
    return true;
  });
  return taken;
}

HeadlessDriver::Scheduled* HeadlessDriver::findScheduled(const Timer& timer) {
  const auto found = std::find_if(timers_.begin(), timers_.end(),
                                  [&](const Scheduled& s) { return s.timer == &timer; });
  return found == timers_.end() ? nullptr : &*found;
}

void HeadlessDriver::timerChanged(Timer& timer) {
  Scheduled* scheduled = findScheduled(timer);
  if (!timer.running()) {
    if (scheduled != nullptr) {
      std::erase_if(timers_, [&](const Scheduled& s) { return s.timer == &timer; });
    }
    return;
  }
  const Clock period = timer.period();
  if (scheduled != nullptr && scheduled->period == period) {
    return;  // still running at the same pace: keep its schedule
  }
  if (scheduled != nullptr) {
    scheduled->period = period;
    scheduled->due = now_ + period;
    return;
  }
  timers_.push_back(Scheduled{&timer, now_ + period, period, nextOrder_++});
}

std::optional<HeadlessDriver::Clock> HeadlessDriver::nextTick() const {
  if (timers_.empty() || exitStatus_) {
    return std::nullopt;
  }
  const auto next =
      std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
      });
  return next->due;
}

void HeadlessDriver::deliver(Scheduled& next) {
  now_ = next.due;
  next.due += next.period;
  Timer& timer = *next.timer;  // `next` may move once the handler runs
  app_->tick(timer);
}

bool HeadlessDriver::step() {
  if (timers_.empty() || exitStatus_) {
    return false;
  }
  const auto next =
      std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
      });
  deliver(*next);
  return true;
}

void HeadlessDriver::advance(Clock duration) {
  const Clock until = now_ + duration;
  while (!exitStatus_) {
    const auto due = nextTick();
    if (!due || *due > until) {
      break;
    }
    step();
  }
  if (!exitStatus_) {
    now_ = std::max(now_, until);
  }
}

void HeadlessDriver::pressKey(Form& form, std::int16_t keyCode) {
  app_->keyPress(form, keyCode);
}

void HeadlessDriver::click(Control& control) {
  app_->click(control);
}

bool HeadlessDriver::clickAt(Form& form, int x, int y) {
  if (Visual* hit = form.hitTest(x, y)) {
    app_->click(*hit);
    return true;
  }
  return false;
}

void HeadlessDriver::close(Form& form) {
  app_->closeRequested(form);
}

bool HeadlessDriver::isShown(const Form& form) const {
  return std::find(shown_.begin(), shown_.end(), &form) != shown_.end();
}

void HeadlessDriver::messageBox(std::string_view prompt, std::string_view title) {
  boxes_.push_back(Box{std::string(prompt), std::string(title), now_});
  ++boxDepth_;
  if (answerer_) {
    // Copy: the answerer may open boxes of its own.
    const Box box = boxes_.back();
    answerer_(box);
  }
  --boxDepth_;
}

void HeadlessDriver::quit(int status) {
  exitStatus_ = status;
  timers_.clear();
  shown_.clear();
  active_ = nullptr;
}

}  // namespace ui::headless
