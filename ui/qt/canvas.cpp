#include "ui/qt/canvas.h"

#include <QFontMetrics>
#include <QPixmap>

#include "ui/text_layout.h"

namespace ui::qt {
namespace {

// The picture's 0xAARRGGBB words are exactly Qt's 32-bit formats in memory.
QImage wrap(const ui::Picture& picture, QImage::Format format) {
  return {reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
          static_cast<qsizetype>(picture.width) * 4, format};
}

QColor toQColor(ui::Color color) {
  return QColor::fromRgb(static_cast<QRgb>(color.rgb()));
}

}  // namespace

QFont toQFont(const ui::FontFace& face) {
  QFont font(toQString(face.family));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(face.pixelSize);
  font.setWeight(static_cast<QFont::Weight>(face.weight));
  font.setItalic(face.italic);
  return font;
}

QIcon toQIcon(const ui::Icon& icon) {
  QIcon result;
  for (const int size : {ui::Icon::kSmall, ui::Icon::kLarge}) {
    if (const ui::Picture* picture = icon.imageFor(size)) {
      result.addPixmap(QPixmap::fromImage(wrap(*picture, QImage::Format_ARGB32)));
    }
  }
  return result;
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

// No smooth transform: stretched pixels stay crisp. The picture's own pixels
// are wrapped, not copied; those of images are opaque, their alpha ignored.
void Canvas::drawPicture(const ui::Picture& picture, const ui::PixelRect& to) {
  painter_->drawImage(toQRect(to), wrap(picture, QImage::Format_RGB32));
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
