#pragma once

#include <string_view>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/geometry.h"
#include "ui/picture.h"

namespace ui {

struct TextLine;

// How a label's lines are drawn.
struct TextStyle {
  FontFace face;
  Color color = Color::rgb(0, 0, 0);
  bool rightToLeft = false;  // the run is shaped and ordered right to left
};

// Where a driver draws what the model hands it, in device pixels of a
// window's client area. The model decides what lands where; the driver copies
// pixels and draws runs of text.
class Canvas {
 public:
  Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&&) = delete;
  Canvas& operator=(Canvas&&) = delete;
  virtual ~Canvas() = default;

  virtual void fill(const PixelRect& area, Color color) = 0;
  // Every pixel of the picture into `to`, repeated or dropped whole where
  // `to` is not the picture's size: never blended, never smoothed.
  virtual void drawPicture(const Picture& picture, const PixelRect& to) = 0;
  // One line, its top left at the line's place, nothing of it outside `clip`.
  virtual void drawText(const TextLine& line, const TextStyle& style, const PixelRect& clip) = 0;
};

// The driver's measure of text, in device pixels, as its drawText draws it.
class TextMeasure {
 public:
  TextMeasure() = default;
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;
  TextMeasure(TextMeasure&&) = delete;
  TextMeasure& operator=(TextMeasure&&) = delete;
  virtual ~TextMeasure() = default;

  [[nodiscard]] virtual int width(std::string_view text, const FontFace& face) = 0;
  // From the top of one line to the top of the next.
  [[nodiscard]] virtual int lineHeight(const FontFace& face) = 0;
};

}  // namespace ui
