#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ui {

// A true-colour bitmap, row-major from the top-left pixel, one 0xAARRGGBB word
// per pixel. Pictures of images are opaque; only icon images use alpha.
struct Picture {
  std::string_view name;
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> pixels;
};

// A window icon: the same drawing at several sizes, largest first.
struct Icon {
  std::span<const Picture* const> images;
};

}  // namespace ui
