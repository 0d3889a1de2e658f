#include "ui/qt/picture_cache.h"

#include <QPixmap>

#include "ui/picture.h"

namespace ui::qt {
namespace {

// The picture's 0xAARRGGBB words are exactly Qt's 32-bit formats in memory.
QImage wrap(const ui::Picture& picture, QImage::Format format) {
  const auto* bits = reinterpret_cast<const uchar*>(picture.pixels.data());
  const auto stride = static_cast<qsizetype>(picture.width) * 4;
  return {bits, picture.width, picture.height, stride, format};
}

}  // namespace

const QImage& PictureCache::image(const ui::Picture& picture) {
  const auto found = images_.find(&picture);
  if (found != images_.end()) {
    return found->second;
  }
  // Pictures of images are opaque: the alpha byte is ignored.
  return images_.emplace(&picture, wrap(picture, QImage::Format_RGB32)).first->second;
}

QIcon PictureCache::icon(const ui::Icon& icon) {
  QIcon result;
  for (const int size : {ui::Icon::kSmall, ui::Icon::kLarge}) {
    if (const ui::Picture* picture = icon.imageFor(size)) {
      result.addPixmap(QPixmap::fromImage(wrap(*picture, QImage::Format_ARGB32)));
    }
  }
  return result;
}

}  // namespace ui::qt
