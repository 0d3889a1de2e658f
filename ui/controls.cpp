#include <cctype>
#include <utility>

#include "ui/command_button.h"
#include "ui/display_scale.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/image_array.h"
#include "ui/label.h"
#include "ui/paint.h"
#include "ui/text.h"
#include "ui/timer.h"
#include "ui/twips.h"

namespace ui {

// --- Visual

Visual::Visual(Form& form, std::string_view name, ControlKind kind, Box box, bool visible,
               int zOrder)
    : Control(form, name, kind),
      box_(box),
      visible_(visible),
      zOrder_(zOrder),
      top_(toPixels(box.top)),
      size_{0, 0, toPixels(box.width), toPixels(box.height)},
      shown_(visible ? pixelRect() : PixelRect{}) {}

void Visual::setVisible(bool visible) {
  if (visible != visible_) {
    visible_ = visible;
    changed();
  }
}

void Visual::contentChanged() {
  if (visible_) {
    form().invalidate(pixelRect());
  }
}

void Visual::queueRepaint() {
  queued_ = true;
  form().queueRepaint(*this);
}

PixelRect Visual::takeShownChange() {
  queued_ = false;
  const PixelRect now = visible_ ? pixelRect() : PixelRect{};
  if (now == shown_) {
    return {};
  }
  return shown_.united(std::exchange(shown_, now));
}

// --- Image

Image::Image(Form& form, const ImageDesign& design)
    : Visual(form, design.name, ControlKind::Image, design.box, design.visible, design.zOrder),
      picture_(design.picture),
      stretch_(design.stretch) {}

Image::Image(const Image& model, std::int16_t index)
    : Visual(model.form(), model.name(), ControlKind::Image,
             Box{model.left(), model.top(), model.width(), model.height()}, false, model.zOrder()),
      picture_(model.picture_),
      stretch_(model.stretch_),
      index_(index) {}

void Image::setPicture(const Picture* picture) {
  contentChanged();
  picture_ = picture;
}

void Image::paint(const DisplayScale& scale, Canvas& canvas) const {
  if (picture_ == nullptr || !picture_->complete()) {
    return;
  }
  const PixelRect box = pixelRect();
  canvas.drawPicture(
      *picture_,
      scale.toDevice(stretch_ ? box : PixelRect{box.x, box.y, picture_->width, picture_->height}));
}

// --- Label

Label::Label(Form& form, const LabelDesign& design)
    : Visual(form, design.name, ControlKind::Label, design.box, design.visible, design.zOrder),
      design_(design),
      caption_(design.caption) {}

void Label::setCaption(std::string_view caption) {
  if (caption == caption_) {
    return;
  }
  caption_.assign(caption);
  layoutDpi_ = 0;
  contentChanged();
}

const TextLayout& Label::layout(const DisplayScale& scale, TextMeasure& measure) const {
  if (layoutDpi_ != scale.dpi()) {
    layout_ = layOutText(caption_, scale.toDevice(pixelRect()), design_.font.on(scale),
                         design_.alignment, isRightToLeft(caption_), measure);
    layoutDpi_ = scale.dpi();
  }
  return layout_;
}

void Label::paint(const DisplayScale& scale, Canvas& canvas, TextMeasure& measure) const {
  const PixelRect box = scale.toDevice(pixelRect());
  canvas.fill(box, design_.background);
  const TextStyle style{design_.font.on(scale), design_.foreground, isRightToLeft(caption_)};
  for (const TextLine& line : layout(scale, measure).lines) {
    canvas.drawText(line, style, box);
  }
}

// --- CommandButton

CommandButton::CommandButton(Form& form, const ButtonDesign& design)
    : Visual(form, design.name, ControlKind::CommandButton, design.box, true), design_(design) {}

char32_t CommandButton::accessKey() const {
  return shownCaption(design_.caption).accessKey;
}

ShownCaption shownCaption(std::string_view designed) {
  ShownCaption shown;
  for (std::size_t at = 0; at < designed.size(); ++at) {
    const bool marked = designed[at] == '&' && ++at < designed.size();
    if (at == designed.size()) {
      break;  // a mark with no letter after it
    }
    // "&&" is an ampersand; the first marked letter is the access key.
    if (marked && designed[at] != '&' && shown.accessKey == 0) {
      shown.accessKeyAt = shown.text.size();
      shown.accessKey =
          static_cast<char32_t>(std::toupper(static_cast<unsigned char>(designed[at])));
    }
    shown.text += designed[at];
  }
  return shown;
}

std::string markedCaption(const ShownCaption& caption) {
  std::string marked;
  for (std::size_t at = 0; at < caption.text.size(); ++at) {
    if (at == caption.accessKeyAt || caption.text[at] == '&') {
      marked += '&';
    }
    marked += caption.text[at];
  }
  return marked;
}

// --- Timer

Timer::Timer(Form& form, const TimerDesign& design)
    : Control(form, design.name, ControlKind::Timer),
      interval_(design.interval),
      enabled_(design.enabled),
      handled_(design.handled) {
  // The schedule learns of the timer once its form is loaded.
}

void Timer::setInterval(std::int32_t interval) {
  if (interval < 0) {
    throw Error(ErrorNumber::InvalidArgument);
  }
  interval_ = interval;
  notify();
}

void Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  notify();
}

void Timer::notify() {
  if (form().loaded()) {
    form().host().timerChanged(*this);
  }
}

// --- ImageArray

ImageArray::ImageArray(Form& form, const ImageDesign& element0) : name_(element0.name) {
  nonNegative_.push_back(std::make_unique<Image>(form, element0));
  count_ = 1;
}

Image* ImageArray::findNegative(std::int16_t index) const {
  const auto found = negative_.find(index);
  return found == negative_.end() ? nullptr : found->second.get();
}

void ImageArray::raiseMissing() {
  throw Error(ErrorNumber::ControlMissing);
}

Image& ImageArray::load(std::int16_t index) {
  if (find(index) != nullptr) {
    throw Error(ErrorNumber::AlreadyLoaded);
  }
  const Image* model = find(0);
  if (model == nullptr) {
    throw Error(ErrorNumber::ControlMissing);
  }
  auto element = std::make_unique<Image>(*model, index);
  Image& result = *element;
  if (index >= 0) {
    const auto slot = static_cast<std::size_t>(index);
    if (slot >= nonNegative_.size()) {
      nonNegative_.resize(slot + 1);
    }
    nonNegative_[slot] = std::move(element);
  } else {
    negative_.emplace(index, std::move(element));
  }
  ++count_;
  return result;
}

}  // namespace ui
