#pragma once

#include <QString>
#include <string_view>

namespace ui::qt {

// The model's UTF-8 text as Qt's.
[[nodiscard]] inline QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace ui::qt
