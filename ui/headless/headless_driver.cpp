#include "ui/headless/headless_driver.h"

#include <algorithm>
#include <utility>

#include "ui/application.h"
#include "ui/form.h"

namespace ui::headless {

void HeadlessDriver::formUnloading(Form& form) {
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

void HeadlessDriver::runPosted() {
  for (auto tasks = std::exchange(posted_, {}); auto& task : tasks) {
    task();
  }
  app_->idle();
}

void HeadlessDriver::advance(Time duration) {
  const Time until = now_ + duration;
  while (!exitStatus_ && due_ && *due_ <= until) {
    now_ = std::max(now_, *due_);
    app_->deliverDueTicks();
  }
  now_ = std::max(now_, until);
}

KeyResult HeadlessDriver::press(Form& form, const KeyStroke& stroke, std::u16string_view text) {
  const KeyResult result = app_->keyDown(form, stroke);
  if (result == KeyResult::Type) {
    app_->typed(form, text);
  }
  app_->idle();
  return result;
}

void HeadlessDriver::pressKey(Form& form, std::int16_t keyCode) {
  const auto unit = static_cast<char16_t>(keyCode);
  app_->typed(form, std::u16string_view(&unit, 1));
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

void HeadlessDriver::messageBox(const BoxRequest& box) {
  boxes_.push_back(
      Box{std::string(box.prompt), std::string(box.title), box.owner, box.rightToLeft});
  if (answerer_) {
    // A copy: the answerer may open boxes of its own.
    const Box shown = boxes_.back();
    answerer_(shown);
  }
}

void HeadlessDriver::quit(int status) {
  exitStatus_ = status;
}

}  // namespace ui::headless
