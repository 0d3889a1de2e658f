#pragma once

#include <algorithm>

namespace ui {

// A rectangle of whole pixels in a window's client area; empty when either
// side is not positive.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  [[nodiscard]] constexpr bool empty() const { return width <= 0 || height <= 0; }
  [[nodiscard]] constexpr int right() const { return x + width; }
  [[nodiscard]] constexpr int bottom() const { return y + height; }
  [[nodiscard]] constexpr bool contains(int px, int py) const {
    return px >= x && px < right() && py >= y && py < bottom();
  }

  // The smallest rectangle holding both.
  [[nodiscard]] constexpr PixelRect united(const PixelRect& other) const {
    if (empty()) {
      return other;
    }
    if (other.empty()) {
      return *this;
    }
    const int left = std::min(x, other.x);
    const int top = std::min(y, other.y);
    return {left, top, std::max(right(), other.right()) - left,
            std::max(bottom(), other.bottom()) - top};
  }

  [[nodiscard]] constexpr PixelRect intersected(const PixelRect& other) const {
    const int left = std::max(x, other.x);
    const int top = std::max(y, other.y);
    const int w = std::min(right(), other.right()) - left;
    const int h = std::min(bottom(), other.bottom()) - top;
    if (w <= 0 || h <= 0) {
      return {};
    }
    return {left, top, w, h};
  }

  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace ui
