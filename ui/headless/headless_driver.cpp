#include "ui/headless/headless_driver.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace ui::headless {

void HeadlessDriver::formShown(Form& form) {
  std::erase(shown_, &form);
  shown_.push_back(&form);
}

void HeadlessDriver::formUnloading(Form& form) {
  std::erase(shown_, &form);
  std::erase_if(repaints_, [&](const auto& repaint) { return repaint.first == &form; });
}

void HeadlessDriver::repaint(Form& form, const PixelRect& area) {
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

void HeadlessDriver::advance(Time duration) {
  const Time until = now_ + duration;
  while (!exitStatus_ && due_ && *due_ <= until) {
    now_ = std::max(now_, *due_);
    app_->deliverDueTicks();
  }
  now_ = std::max(now_, until);
}

void HeadlessDriver::pressKey(Form& form, std::int16_t keyCode) {
  app_->keyPress(form, keyCode);
}

void HeadlessDriver::click(Control& control) {
  app_->click(control);
}

void HeadlessDriver::drag(Form& form, int fromX, int fromY, int toX, int toY) {
  app_->mousePress(form, fromX, fromY);
  app_->mouseRelease(form, toX, toY);
}

void HeadlessDriver::close(Form& form) {
  app_->closeRequested(form);
}

bool HeadlessDriver::isShown(const Form& form) const {
  return std::find(shown_.begin(), shown_.end(), &form) != shown_.end();
}

void HeadlessDriver::messageBox(std::string_view prompt, std::string_view title, Form* owner) {
  boxes_.push_back(Box{std::string(prompt), std::string(title), owner});
  if (answerer_) {
    // A copy: the answerer may open boxes of its own.
    const Box box = boxes_.back();
    answerer_(box);
  }
}

void HeadlessDriver::quit(int status) {
  exitStatus_ = status;
  shown_.clear();
}

}  // namespace ui::headless
