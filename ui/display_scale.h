#pragma once

#include "ui/geometry.h"

namespace ui {

// The model's pixels are those of a 96-dpi display; a display of another DPI
// shows everything scaled by DPI / 96. Edges are scaled, not sizes, so that
// rectangles that meet in the model meet on the screen too. A driver whose
// toolkit scales by itself paints at the model's DPI.
class DisplayScale {
 public:
  static constexpr int kModelDpi = 96;

  constexpr explicit DisplayScale(int dpi = kModelDpi) : dpi_(dpi > 0 ? dpi : kModelDpi) {}
  [[nodiscard]] constexpr int dpi() const { return dpi_; }

  // A model length or coordinate on the display, to the nearest pixel.
  [[nodiscard]] constexpr int toDevice(int pixels) const {
    const long long scaled = static_cast<long long>(pixels) * dpi_;
    return static_cast<int>(scaled >= 0 ? (scaled + kModelDpi / 2) / kModelDpi
                                        : -((-scaled + kModelDpi / 2) / kModelDpi));
  }
  [[nodiscard]] constexpr PixelRect toDevice(const PixelRect& area) const {
    const int left = toDevice(area.x);
    const int top = toDevice(area.y);
    return {left, top, toDevice(area.right()) - left, toDevice(area.bottom()) - top};
  }
  // A device point as the model's pixel under it.
  [[nodiscard]] constexpr int toModel(int devicePixels) const {
    return floorDivide(static_cast<long long>(devicePixels) * kModelDpi, dpi_);
  }
  // A device area as the model's pixels that it touches, whole.
  [[nodiscard]] constexpr PixelRect toModel(const PixelRect& area) const {
    const int left = toModel(area.x);
    const int top = toModel(area.y);
    return {left, top, toModelCeiling(area.right()) - left, toModelCeiling(area.bottom()) - top};
  }
  [[nodiscard]] constexpr int toModelCeiling(int devicePixels) const {
    return -floorDivide(-static_cast<long long>(devicePixels) * kModelDpi, dpi_);
  }

 private:
  static constexpr int floorDivide(long long a, long long b) {
    return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
  }
  int dpi_;
};

}  // namespace ui
