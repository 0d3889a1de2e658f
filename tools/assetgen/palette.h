#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace assetgen {

// The standard 16-colour palette of 4-bit icons, as 0xRRGGBB, in palette order.
constexpr std::array<std::uint32_t, 16> kStandardPalette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr std::uint32_t kOpaque = 0xFF000000;

constexpr std::optional<int> standard_index(std::uint32_t rgb) {
  const auto* found = std::find(kStandardPalette.begin(), kStandardPalette.end(), rgb & 0xFFFFFF);
  if (found == kStandardPalette.end()) {
    return std::nullopt;
  }
  return static_cast<int>(found - kStandardPalette.begin());
}

}  // namespace assetgen
