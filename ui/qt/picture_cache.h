#pragma once

#include <QIcon>
#include <QImage>
#include <unordered_map>

namespace ui {
struct Icon;
struct Picture;
}  // namespace ui

namespace ui::qt {

// One QImage per picture, wrapping the picture's own pixels (no copy), made
// on first use and kept for the life of the driver.
class PictureCache {
 public:
  [[nodiscard]] const QImage& image(const ui::Picture& picture);

  // The icon's images at the sizes the model chooses, with their alpha.
  [[nodiscard]] static QIcon icon(const ui::Icon& icon);

 private:
  std::unordered_map<const ui::Picture*, QImage> images_;
};

}  // namespace ui::qt
