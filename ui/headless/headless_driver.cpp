#include "ui/headless/headless_driver.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/text_layout.h"

namespace ui::headless {
namespace {

class Recorder final : public Canvas {
 public:
  std::vector<Drawn> drawn;

  void fill(const PixelRect& area, Color color) override {
    drawn.push_back({.kind = Drawn::Kind::Fill, .rect = area, .color = color});
  }
  void drawPicture(const Picture& picture, const PixelRect& to) override {
    drawn.push_back({.kind = Drawn::Kind::Picture, .rect = to, .picture = &picture});
  }
  void drawText(const TextLine& line, const TextStyle& style, const PixelRect& clip) override {
    drawn.push_back({.kind = Drawn::Kind::Text,
                     .rect = clip,
                     .text = line.text,
                     .x = line.x,
                     .y = line.y,
                     .style = style});
  }
};

}  // namespace

void HeadlessDriver::formUnloading(Form& form) {
  std::erase_if(repaints_, [&](const auto& repaint) { return repaint.first == &form; });
}

void HeadlessDriver::repaint(Form& form, const PixelRect& area) {
  repaints_.emplace_back(&form, area);
}

int HeadlessDriver::width(std::string_view text, const FontFace& face) {
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
  });
  return static_cast<int>(characters) * (face.pixelSize / 2);
}

std::vector<Drawn> HeadlessDriver::paint(const Form& form, const PixelRect& area, int dpi) {
  Recorder recorder;
  form.paint(area, DisplayScale(dpi), recorder, *this);
  return std::move(recorder.drawn);
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
