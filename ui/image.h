#pragma once

#include <cstdint>
#include <string_view>

#include "ui/picture.h"
#include "ui/visual.h"

namespace ui {

class Canvas;
class DisplayScale;

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
  [[nodiscard]] std::int16_t index() const { return index_; }

  // The whole picture, at its own size unless stretched to the box; an
  // incomplete picture, or none, draws nothing.
  void paint(const DisplayScale& scale, Canvas& canvas) const;

 private:
  const Picture* picture_;
  bool stretch_;
  std::int16_t index_ = 0;
};

}  // namespace ui
