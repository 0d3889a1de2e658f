#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QRect>
#include <QString>
#include <string_view>

#include "ui/paint.h"

namespace ui {
struct Icon;
}  // namespace ui

namespace ui::qt {

[[nodiscard]] inline QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
[[nodiscard]] inline QRect toQRect(const ui::PixelRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}
// A face as Qt makes it. Sizes are in pixels, so that every platform plugin,
// offscreen included, draws the same glyphs; Qt scales them for the display.
[[nodiscard]] QFont toQFont(const ui::FontFace& face);

// The icon's images at the sizes the model chooses, with their alpha.
[[nodiscard]] QIcon toQIcon(const ui::Icon& icon);

// Text measured as QPainter draws it, in Qt's device-independent pixels.
class TextMetrics final : public ui::TextMeasure {
 public:
  int width(std::string_view text, const ui::FontFace& face) override;
  int lineHeight(const ui::FontFace& face) override;
};

// What the model paints, on a QPainter.
class Canvas final : public ui::Canvas {
 public:
  explicit Canvas(QPainter& painter) : painter_(&painter) {}

  void fill(const ui::PixelRect& area, ui::Color color) override;
  void drawPicture(const ui::Picture& picture, const ui::PixelRect& to) override;
  void drawText(const ui::TextLine& line, const ui::TextStyle& style,
                const ui::PixelRect& clip) override;

 private:
  QPainter* painter_;
};

}  // namespace ui::qt
