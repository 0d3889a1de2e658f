#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/text_layout.h"
#include "ui/visual.h"

namespace ui {

class Canvas;

struct LabelDesign {
  std::string_view name;
  Box box;
  bool visible = true;
  std::string_view caption;
  Color background = Color::rgb(0xFF, 0xFF, 0xFF);
  Color foreground = Color::system(SystemColor::ButtonText);
  Font font;
  Alignment alignment = Alignment::Left;  // the caption breaks into lines at word boundaries
  int zOrder = 0;
  bool pressable = false;  // a click on it does something: a screen reader may press it
};

class Label final : public Visual {
 public:
  Label(Form& form, const LabelDesign& design);

  [[nodiscard]] const std::string& caption() const { return caption_; }
  void setCaption(std::string_view caption);
  [[nodiscard]] const LabelDesign& design() const { return design_; }

  // The caption as drawn on a display, broken into lines with the driver's
  // measure; kept until the caption or the display changes.
  [[nodiscard]] const TextLayout& layout(const DisplayScale& scale, TextMeasure& measure) const;
  // Its box filled with its background, and the lines of its caption in it.
  void paint(const DisplayScale& scale, Canvas& canvas, TextMeasure& measure) const;

 private:
  const LabelDesign& design_;
  std::string caption_;
  mutable TextLayout layout_;
  mutable int layoutDpi_ = 0;  // the DPI the layout is for; 0: none yet
};

}  // namespace ui
