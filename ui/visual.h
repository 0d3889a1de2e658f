#pragma once

#include "ui/control.h"
#include "ui/geometry.h"
#include "ui/twips.h"

namespace ui {

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

}  // namespace ui
