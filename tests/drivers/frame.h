#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/geometry.h"
#include "ui/picture.h"

namespace testing_support {

// A window's client area as the screen shows it, one 0xRRGGBB word per pixel,
// row by row.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  [[nodiscard]] std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y * width + x)];
  }
  // How many pixels of an area `pick` takes.
  [[nodiscard]] int count(const ui::PixelRect& area,
                          const std::function<bool(std::uint32_t)>& pick) const {
    int found = 0;
    for (int i = 0; i < area.width * area.height; ++i) {
      found += pick(at(area.x + i % area.width, area.y + i / area.width)) ? 1 : 0;
    }
    return found;
  }
  // Whether the picture lies there at its own size; its first `columns` only.
  [[nodiscard]] bool shows(const ui::Picture& picture, int left, int top, int columns) const {
    for (int i = 0; i < picture.height * columns; ++i) {
      const int x = i % columns;
      const int y = i / columns;
      if (at(left + x, top + y) !=
          (picture.pixels[static_cast<std::size_t>(y * picture.width + x)] & 0xFFFFFF)) {
        return false;
      }
    }
    return true;
  }
};

}  // namespace testing_support
