#include "ui/form.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "ui/driver.h"
#include "ui/error.h"
#include "ui/paint.h"
#include "ui/twips.h"

namespace ui {

Form::Form(FormHost& host, std::string_view name, const FormDesign& design)
    : host_(&host),
      name_(name),
      design_(design),
      caption_(design.caption),
      view_{0, 0, pixelWidth(), pixelHeight()} {}

Form::~Form() = default;

void Form::setCaption(std::string_view caption) {
  caption_ = caption;
  faceStale_ = true;
  if (loaded_) {
    host_->driver().captionChanged(*this);
  }
}

void Form::load() {
  if (loaded_) {
    return;
  }
  caption_ = design_.caption;
  try {
    build();
  } catch (...) {
    // A window that could not be built is not loaded at all.
    destroyControls();
    throw;
  }
  loaded_ = true;
  tabOrder_.clear();
  forEachControl([this](Control& control) {
    if (control.kind() == ControlKind::CommandButton) {
      tabOrder_.push_back(&static_cast<CommandButton&>(control));
    }
  });
  std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [](const auto* a, const auto* b) {
    return a->design().tabIndex < b->design().tabIndex;
  });
  focus_ = tabOrder_.empty() ? nullptr : tabOrder_.front();
  faceStale_ = true;
  host_->driver().formLoaded(*this);
  forEachControl([this](Control& control) {
    if (control.kind() == ControlKind::Timer) {
      host_->timerChanged(static_cast<Timer&>(control));
    }
  });
  // All of it is painted once the handler that shows it is over, not at its
  // exposure: the first frame comes a round trip to the window system sooner.
  invalidate(view_);
  onLoad();
}

void Form::show() {
  load();
  host_->driver().formShown(*this);
}

void Form::unload() {
  if (!loaded_) {
    return;
  }
  host_->formUnloading(*this);
  loaded_ = false;
  accessibleStale_ = true;
  buttonsChanged_ = false;
  pressed_ = nullptr;
  focus_ = nullptr;
  tabOrder_.clear();
  dirty_ = {};
  changed_.clear();
  destroyControls();
}

void Form::destroyControls() {
  // Timers and everything else go in reverse order of creation.
  while (!entries_.empty()) {
    entries_.pop_back();
  }
}

int Form::pixelWidth() const {
  return toPixels(design_.clientWidth);
}
int Form::pixelHeight() const {
  return toPixels(design_.clientHeight);
}

PixelRect Form::initialPlace() const {
  return {toPixels(design_.left), toPixels(design_.top), pixelWidth(), pixelHeight()};
}

Visual* Form::hitTest(int x, int y) const {
  Visual* hit = nullptr;
  const auto take = [&](Visual& visual) { hit = &visual; };  // the last one lies on top
  forEachDrawn({x, y, 1, 1}, take, take);
  return hit;
}

Visual* Form::mouseReleased(int x, int y) {
  Visual* pressed = std::exchange(pressed_, nullptr);
  Visual* released = hitTest(x, y);
  return released == pressed ? released : nullptr;
}

CommandButton* Form::defaultButton() const {
  for (CommandButton* button : buttonsInTabOrder()) {
    if (button->design().isDefault) {
      return button;
    }
  }
  return nullptr;
}

CommandButton* Form::cancelButton() const {
  for (CommandButton* button : buttonsInTabOrder()) {
    if (button->design().isCancel) {
      return button;
    }
  }
  return nullptr;
}

void Form::setFocus(CommandButton* button) {
  if (button != focus_) {
    focus_ = button;
    faceStale_ = true;
    host_->driver().focusChanged(*this);
  }
}

void Form::moveFocus(bool forward) {
  const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
  auto at = std::find(tabOrder_.begin(), tabOrder_.end(), focus_) - tabOrder_.begin();
  if (at == count && forward) {
    at = -1;  // from the window itself to the first button
  }
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    CommandButton* next = tabOrder_[static_cast<std::size_t>(
        ((forward ? at + step : at - step) % count + count) % count)];
    if (next->visible()) {
      setFocus(next);
      return;
    }
  }
}

CommandButton* Form::accessKeyButton(char32_t letter) const {
  const auto found = std::find_if(tabOrder_.begin(), tabOrder_.end(), [&](const auto* button) {
    return button->visible() && button->accessKey() == letter;
  });
  return found == tabOrder_.end() ? nullptr : *found;
}

const WindowFace& Form::face() const {
  if (!faceStale_) {
    return face_;
  }
  faceStale_ = false;
  face_.caption = caption_;
  face_.place = initialPlace();
  face_.dialog = design_.border == BorderStyle::FixedDialog;
  face_.icon = icon();
  face_.buttons.clear();
  for (CommandButton* button : tabOrder_) {
    face_.buttons.push_back(
        {button, shownCaption(button->caption()), button->pixelRect(), button->visible()});
  }
  face_.focus = focus_;
  face_.framed = framedButton();
  face_.reader = accessibleWindow();
  return face_;
}

AccessibleWindow Form::accessibleWindow() const {
  return {caption_, std::string(design_.help)};
}

const std::vector<AccessibleItem>& Form::accessibleItems() const {
  if (!accessibleStale_) {
    return accessible_;
  }
  accessibleStale_ = false;
  accessible_.clear();
  forEachControl([&](Control& control) {
    if (control.kind() == ControlKind::Timer) {
      return;
    }
    const auto& visual = static_cast<const Visual&>(control);
    if (!visual.visible() || visual.pixelRect().intersected(view_).empty()) {
      return;
    }
    const PixelRect place = visual.pixelRect();
    if (control.kind() == ControlKind::Image) {
      const Picture* picture = static_cast<const Image&>(control).picture();
      accessible_.push_back(
          {AccessibleRole::Picture, std::string(picture ? picture->shows : ""), place, &control});
    } else if (control.kind() == ControlKind::Label) {
      const auto& label = static_cast<const Label&>(control);
      const bool pressable = label.design().pressable;
      accessible_.push_back({pressable ? AccessibleRole::Button : AccessibleRole::Text,
                             withLineFeeds(label.caption()), place, &control, pressable});
    } else {
      accessible_.push_back(
          {AccessibleRole::Button,
           shownCaption(static_cast<const CommandButton&>(control).caption()).text, place, &control,
           true});
    }
  });
  return accessible_;
}

const AccessibleItem* Form::accessibleItem(const Control* control) const {
  const std::vector<AccessibleItem>& items = accessibleItems();
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&](const auto& item) { return item.control == control; });
  return found == items.end() ? nullptr : &*found;
}

const AccessibleItem* Form::accessibleItemAt(int x, int y) const {
  if (!view_.contains(x, y)) {
    return nullptr;
  }
  const std::vector<AccessibleItem>& items = accessibleItems();
  const auto button = std::find_if(items.rbegin(), items.rend(), [&](const auto& item) {
    return item.control->kind() == ControlKind::CommandButton && item.place.contains(x, y);
  });
  return button != items.rend() ? &*button : accessibleItem(hitTest(x, y));
}

void Form::paint(const PixelRect& area, const DisplayScale& scale, Canvas& canvas,
                 TextMeasure& measure) const {
  canvas.fill(area, design_.background);
  forEachDrawn(
      scale.toModel(area), [&](const Image& image) { image.paint(scale, canvas); },
      [&](const Label& label) { label.paint(scale, canvas, measure); });
}

void Form::markDirty() {
  host_->formDirty();
}

PixelRect Form::takeDirty() {
  // Edges rather than rectangles while gathering: one min or max per edge.
  int left = std::numeric_limits<int>::max();
  int top = left;
  int right = std::numeric_limits<int>::min();
  int bottom = right;
  const auto gather = [&](const PixelRect& changed) {
    const PixelRect area = changed.intersected(view_);
    if (!area.empty()) {
      left = std::min(left, area.x);
      top = std::min(top, area.y);
      right = std::max(right, area.right());
      bottom = std::max(bottom, area.bottom());
    }
  };
  gather(dirty_);
  for (Visual* control : changed_) {
    gather(control->takeShownChange());
  }
  changed_.clear();
  dirty_ = {};
  if (right == std::numeric_limits<int>::min()) {
    return {};
  }
  return {left, top, right - left, bottom - top};
}

ImageArray& Form::addArray(const ImageDesign& element0) {
  topLayer_ = std::max(topLayer_, element0.zOrder);
  auto array = std::make_unique<ImageArray>(*this, element0);
  ImageArray& result = *array;
  entries_.emplace_back(std::move(array));
  return result;
}

}  // namespace ui
