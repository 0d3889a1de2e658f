#include "ui/qt/canvas.h"

#include <QFontMetrics>

#include "ui/qt/picture_cache.h"
#include "ui/qt/to_qt.h"
#include "ui/text_layout.h"

namespace ui::qt {

QFont toQFont(const ui::FontFace& face) {
  QFont font(toQString(face.family));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(face.pixelSize);
  font.setWeight(static_cast<QFont::Weight>(face.weight));
  font.setItalic(face.italic);
  return font;
}

int TextMetrics::width(std::string_view text, const ui::FontFace& face) {
  return QFontMetrics(toQFont(face)).horizontalAdvance(toQString(text));
}

int TextMetrics::lineHeight(const ui::FontFace& face) {
  return QFontMetrics(toQFont(face)).height();
}

void Canvas::fill(const ui::PixelRect& area, ui::Color color) {
  painter_->fillRect(toQRect(area), toQColor(color));
}

// No smooth transform: stretched pixels stay crisp.
void Canvas::drawPicture(const ui::Picture& picture, const ui::PixelRect& to) {
  painter_->drawImage(toQRect(to), pictures_->image(picture));
}

void Canvas::drawText(const ui::TextLine& line, const ui::TextStyle& style,
                      const ui::PixelRect& clip) {
  const QFont font = toQFont(style.face);
  painter_->save();
  painter_->setClipRect(toQRect(clip), Qt::IntersectClip);
  painter_->setFont(font);
  painter_->setPen(toQColor(style.color));
  // The run's own direction: Arabic is shaped and ordered from the right.
  painter_->setLayoutDirection(style.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
  painter_->drawText(QPoint(line.x, line.y + QFontMetrics(font).ascent()), toQString(line.text));
  painter_->restore();
}

}  // namespace ui::qt
