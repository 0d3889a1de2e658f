#include "ui/controls.h"

#include "ui/application.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/twips.h"

namespace ui {

void Control::beforeWrite() const {
  form_->beforeWrite();
}

// --- Visual

void Visual::setLeft(float left) {
  beforeWrite();
  if (left == box_.left) {
    return;
  }
  invalidate();
  box_.left = left;
  invalidate();
}

void Visual::setVisible(bool visible) {
  beforeWrite();
  if (visible == visible_) {
    return;
  }
  visible_ = visible;
  form().invalidate(pixelRect());
}

PixelRect Visual::pixelRect() const {
  return {toPixels(box_.left), toPixels(box_.top), toPixels(box_.width), toPixels(box_.height)};
}

void Visual::invalidate() const {
  if (visible_) {
    form().invalidate(pixelRect());
  }
}

// --- Image

Image::Image(Form& form, const ImageDesign& design)
    : Visual(form, design.name, ControlKind::Image, design.box, design.visible),
      picture_(design.picture),
      stretch_(design.stretch) {}

Image::Image(const Image& model, std::int16_t index)
    : Visual(model.form(), model.name(), ControlKind::Image,
             Box{model.left(), model.top(), model.width(), model.height()}, false),
      picture_(model.picture_),
      stretch_(model.stretch_),
      index_(index) {}

void Image::setPicture(const Picture* picture) {
  beforeWrite();
  invalidate();
  picture_ = picture;
  invalidate();
}

PixelRect Image::pixelRect() const {
  // An image that is not stretched is as large as its picture.
  if (stretch_ || picture_ == nullptr) {
    return Visual::pixelRect();
  }
  return {toPixels(left()), toPixels(top()), picture_->width, picture_->height};
}

// --- Label

Label::Label(Form& form, const LabelDesign& design)
    : Visual(form, design.name, ControlKind::Label, design.box, design.visible),
      design_(design),
      caption_(design.caption) {}

void Label::setCaption(std::string_view caption) {
  beforeWrite();
  if (caption == caption_) {
    return;
  }
  caption_.assign(caption);
  invalidate();
}

// --- CommandButton

CommandButton::CommandButton(Form& form, const ButtonDesign& design)
    : Visual(form, design.name, ControlKind::CommandButton, design.box, true), design_(design) {}

// --- Timer

Timer::Timer(Form& form, const TimerDesign& design)
    : Control(form, design.name, ControlKind::Timer),
      interval_(design.interval),
      enabled_(design.enabled) {
  // The driver learns of the timer once its form's window exists.
}

Timer::~Timer() = default;

void Timer::setInterval(std::int32_t interval) {
  beforeWrite();
  if (interval < 0) {
    throw Error(ErrorNumber::InvalidArgument);
  }
  interval_ = interval;
  notify();
}

void Timer::setEnabled(bool enabled) {
  beforeWrite();
  enabled_ = enabled;
  notify();
}

void Timer::notify() {
  if (form().loaded()) {
    form().app().driver().timerChanged(*this);
  }
}

// --- ImageArray

ImageArray::ImageArray(Form& form, const ImageDesign& element0)
    : form_(&form), name_(element0.name) {
  nonNegative_.push_back(std::make_unique<Image>(form, element0));
  count_ = 1;
}

Image* ImageArray::find(std::int16_t index) const {
  if (index >= 0) {
    const auto slot = static_cast<std::size_t>(index);
    return slot < nonNegative_.size() ? nonNegative_[slot].get() : nullptr;
  }
  const auto found = negative_.find(index);
  return found == negative_.end() ? nullptr : found->second.get();
}

Image& ImageArray::operator()(std::int16_t index) const {
  form_->app().faults().check(Operation::LookUpElement);
  Image* element = find(index);
  if (element == nullptr) [[unlikely]] {
    throw Error(ErrorNumber::ControlMissing);
  }
  return *element;
}

Image& ImageArray::load(std::int16_t index) {
  form_->checkCreate();
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
