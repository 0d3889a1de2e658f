#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/geometry.h"
#include "ui/picture.h"
#include "ui/style.h"
#include "ui/twips.h"

namespace ui {

class Form;

enum class ControlKind : std::uint8_t { Image, Label, Timer, CommandButton };

// A control of a form. Controls belong to their form and live from its load to
// its unload; every property write marks what it changed for the next redraw.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  Control(Control&&) = delete;
  Control& operator=(Control&&) = delete;
  virtual ~Control() = default;

  [[nodiscard]] Form& form() const { return *form_; }
  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] ControlKind kind() const { return kind_; }

 protected:
  Control(Form& form, std::string_view name, ControlKind kind);

 private:
  Form* form_;
  std::string_view name_;
  ControlKind kind_;
};

// Geometry in twips; what images, labels and buttons share.
struct Box {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

// A control that occupies a box in the client area.
class Visual : public Control {
 public:
  [[nodiscard]] float left() const { return box_.left; }
  [[nodiscard]] float top() const { return box_.top; }
  [[nodiscard]] float width() const { return box_.width; }
  [[nodiscard]] float height() const { return box_.height; }
  [[nodiscard]] bool visible() const { return visible_; }
  // A control of a higher z-order lies on top of those of a lower one,
  // wherever they stand in the design.
  [[nodiscard]] int zOrder() const { return zOrder_; }
  void setLeft(float left) {
    if (left != box_.left) {
      box_.left = left;
      changed();
    }
  }
  void setVisible(bool visible);

  // Where the control is drawn, in pixels of the client area.
  [[nodiscard]] PixelRect pixelRect() const {
    return {toPixels(box_.left), top_, size_.width, size_.height};
  }

 protected:
  Visual(Form& form, std::string_view name, ControlKind kind, Box box, bool visible,
         int zOrder = 0);
  // Its place or visibility changed: the form works out at the next repaint
  // what the screen must lose and gain, so a control that moves many times,
  // or is shown and hidden again, within one handler costs one comparison.
  void changed() {
    if (!queued_ && (visible_ || !shown_.empty())) {
      queueRepaint();
    }
  }
  // What it shows changed where it stands (a picture, a caption).
  void contentChanged();

 private:
  friend class Form;
  void queueRepaint();
  // The area to repaint for this control since the last repaint: where it
  // was shown and where it is shown now, or nothing when they agree.
  [[nodiscard]] PixelRect takeShownChange();

  Box box_;
  bool visible_;
  int zOrder_;
  int top_;
  PixelRect size_;   // only the width and height count
  PixelRect shown_;  // where the screen shows it as of the last repaint; empty when hidden
  bool queued_ = false;
};

struct ImageDesign {
  std::string_view name;
  Box box;
  bool visible = true;
  const Picture* picture = nullptr;
  bool stretch = false;  // scale the picture to the box instead of its own size
  int zOrder = 0;
};

class Image final : public Visual {
 public:
  Image(Form& form, const ImageDesign& design);
  // A run-time element of a control array: a hidden copy of element 0.
  Image(const Image& model, std::int16_t index);

  [[nodiscard]] const Picture* picture() const { return picture_; }
  void setPicture(const Picture* picture);
  // Not stretched, the picture is drawn at its own size, which the design
  // makes the box's.
  [[nodiscard]] bool stretch() const { return stretch_; }
  [[nodiscard]] std::int16_t index() const { return index_; }

 private:
  const Picture* picture_;
  bool stretch_;
  std::int16_t index_ = 0;
};

struct LabelDesign {
  std::string_view name;
  Box box;
  bool visible = true;
  std::string_view caption;
  Color background = Color::rgb(0xFF, 0xFF, 0xFF);
  Color foreground = Color::system(Color::kButtonText);
  Font font;
  Alignment alignment = Alignment::Left;  // the caption breaks into lines at word boundaries
  int zOrder = 0;
};

class Label final : public Visual {
 public:
  Label(Form& form, const LabelDesign& design);

  [[nodiscard]] const std::string& caption() const { return caption_; }
  void setCaption(std::string_view caption);
  [[nodiscard]] const LabelDesign& design() const { return design_; }

 private:
  const LabelDesign& design_;
  std::string caption_;
};

struct ButtonDesign {
  std::string_view name;
  Box box;
  std::string_view caption;  // '&' marks the access key
  int tabIndex = 0;
  bool isDefault = false;
  bool isCancel = false;
};

class CommandButton final : public Visual {
 public:
  CommandButton(Form& form, const ButtonDesign& design);

  [[nodiscard]] const ButtonDesign& design() const { return design_; }
  [[nodiscard]] std::string_view caption() const { return design_.caption; }

 private:
  const ButtonDesign& design_;
};

// The layer's shortest timer period: a timer asking for less ticks at this.
inline constexpr std::chrono::milliseconds kShortestTimerPeriod{55};

struct TimerDesign {
  std::string_view name;
  std::int32_t interval = 0;  // milliseconds
  bool enabled = true;
  // False for a timer whose ticks have no effect: it keeps its Interval and
  // Enabled like any other, but nothing is woken to deliver them.
  bool handled = true;
};

class Timer final : public Control {
 public:
  Timer(Form& form, const TimerDesign& design);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  Timer(Timer&&) = delete;
  Timer& operator=(Timer&&) = delete;
  ~Timer() override;

  [[nodiscard]] std::int32_t interval() const { return interval_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  // Interval 0 stops the ticks and leaves Enabled as it is. Negative
  // intervals are refused with InvalidArgument.
  void setInterval(std::int32_t interval);
  void setEnabled(bool enabled);

  // True while the timer delivers ticks.
  [[nodiscard]] bool running() const { return enabled_ && interval_ > 0 && handled_; }
  [[nodiscard]] std::chrono::milliseconds period() const {
    return std::max(std::chrono::milliseconds(interval_), kShortestTimerPeriod);
  }

 private:
  void notify();
  std::int32_t interval_;
  bool enabled_;
  bool handled_;
};

// An image control array. Element 0 comes from the design; further elements
// are loaded at run time as hidden copies of element 0 at a signed 16-bit index.
class ImageArray {
 public:
  ImageArray(Form& form, const ImageDesign& element0);

  // Raises ControlMissing when no element has that index.
  [[nodiscard]] Image& operator()(std::int16_t index) const {
    Image* element = find(index);
    if (element == nullptr) [[unlikely]] {
      raiseMissing();
    }
    return *element;
  }
  // Raises AlreadyLoaded when the index is taken.
  Image& load(std::int16_t index);

  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] std::size_t count() const { return count_; }

  // Elements in index order.
  template <typename F>
  void forEach(F&& visit) const {
    for (const auto& [index, image] : negative_) {
      visit(*image);
    }
    for (const auto& image : nonNegative_) {
      if (image) {
        visit(*image);
      }
    }
  }

 private:
  [[nodiscard]] Image* find(std::int16_t index) const {
    if (index >= 0) {
      const auto slot = static_cast<std::size_t>(index);
      return slot < nonNegative_.size() ? nonNegative_[slot].get() : nullptr;
    }
    return findNegative(index);
  }
  [[nodiscard]] Image* findNegative(std::int16_t index) const;
  [[noreturn]] static void raiseMissing();
  std::string_view name_;
  std::vector<std::unique_ptr<Image>> nonNegative_;
  std::map<std::int16_t, std::unique_ptr<Image>> negative_;
  std::size_t count_ = 0;
};

}  // namespace ui
