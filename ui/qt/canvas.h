#pragma once

#include <QFont>
#include <QPainter>

#include "ui/paint.h"

namespace ui::qt {

class PictureCache;

// A face as Qt makes it. Sizes are in pixels, so that every platform plugin,
// offscreen included, draws the same glyphs; Qt scales them for the display.
[[nodiscard]] QFont toQFont(const ui::FontFace& face);

// Text measured as QPainter draws it, in Qt's device-independent pixels.
class TextMetrics final : public ui::TextMeasure {
 public:
  int width(std::string_view text, const ui::FontFace& face) override;
  int lineHeight(const ui::FontFace& face) override;
};

// What the model paints, on a QPainter.
class Canvas final : public ui::Canvas {
 public:
  Canvas(QPainter& painter, PictureCache& pictures) : painter_(&painter), pictures_(&pictures) {}

  void fill(const ui::PixelRect& area, ui::Color color) override;
  void drawPicture(const ui::Picture& picture, const ui::PixelRect& to) override;
  void drawText(const ui::TextLine& line, const ui::TextStyle& style,
                const ui::PixelRect& clip) override;

 private:
  QPainter* painter_;
  PictureCache* pictures_;
};

}  // namespace ui::qt
