#pragma once

#include <windows.h>

#include "ui/geometry.h"

namespace ui::win32 {

// The model's 96-dpi pixels on a display of another DPI, and back: the one
// place where the driver converts. Edges are scaled, not sizes, so that
// rectangles that meet in the model meet on the screen too.
class DisplayScale {
 public:
  static constexpr UINT kModelDpi = 96;

  explicit DisplayScale(UINT dpi = kModelDpi) : dpi_(dpi == 0 ? kModelDpi : dpi) {}
  [[nodiscard]] UINT dpi() const { return dpi_; }

  [[nodiscard]] int toDevice(int pixels) const {
    return ::MulDiv(pixels, static_cast<int>(dpi_), kModelDpi);
  }
  [[nodiscard]] RECT toDevice(const PixelRect& area) const {
    return {toDevice(area.x), toDevice(area.y), toDevice(area.right()), toDevice(area.bottom())};
  }
  // A device point as the model's pixel under it.
  [[nodiscard]] int toModel(int devicePixels) const {
    return static_cast<int>(devicePixels * static_cast<long long>(kModelDpi) /
                            static_cast<long long>(dpi_));
  }
  // A device area as the model's pixels that it touches, whole.
  [[nodiscard]] PixelRect toModel(const RECT& area) const {
    const int left = toModel(area.left);
    const int top = toModel(area.top);
    return {left, top, toModelCeiling(area.right) - left, toModelCeiling(area.bottom) - top};
  }
  [[nodiscard]] int toModelCeiling(int devicePixels) const {
    const long long scaled = devicePixels * static_cast<long long>(kModelDpi);
    return static_cast<int>((scaled + dpi_ - 1) / dpi_);
  }

 private:
  UINT dpi_;
};

}  // namespace ui::win32
