#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <string_view>

#include "ui/color.h"
#include "ui/geometry.h"

namespace ui::qt {

// The model's UTF-8 text as Qt's.
[[nodiscard]] inline QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

[[nodiscard]] inline QColor toQColor(ui::Color color) {
  return QColor::fromRgb(static_cast<QRgb>(color.rgb()));
}

[[nodiscard]] inline QRect toQRect(const ui::PixelRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

[[nodiscard]] inline ui::PixelRect toPixelRect(const QRect& rect) {
  return {rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace ui::qt
