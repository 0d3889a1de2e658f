#pragma once

#include <cstddef>
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
  std::string_view shows;  // what it shows, in words, for a screen reader

  // Whether its pixels fill its size; a picture that does not is drawn as
  // nothing rather than read past its end.
  [[nodiscard]] bool complete() const {
    return width > 0 && height > 0 &&
           pixels.size() / static_cast<std::size_t>(width) >= static_cast<std::size_t>(height);
  }
};

// A window icon: the same drawing at several sizes, largest first.
struct Icon {
  std::span<const Picture* const> images;

  // What shows at a size in pixels: the smallest complete image at least
  // that large, else the largest; nullptr when none is complete.
  [[nodiscard]] const Picture* imageFor(int size) const {
    const Picture* chosen = nullptr;
    for (const Picture* image : images) {
      if (image->complete() && (chosen == nullptr || image->width >= size)) {
        chosen = image;
      }
    }
    return chosen;
  }
  // The sizes the window systems ask for: the caption's and the task list's.
  static constexpr int kSmall = 16;
  static constexpr int kLarge = 32;
};

}  // namespace ui
