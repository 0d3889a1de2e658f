#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "ui/display_scale.h"

namespace ui {

enum class FontWeight : std::uint16_t { Regular = 400, Bold = 700 };

// The family every label is drawn in, on both targets: a sans-serif whose
// widths are close to the designs' font, which Windows has and which Linux
// has metric for metric as Liberation Sans. Letters the face lacks (Arabic)
// come from the platform's fallback faces.
inline constexpr std::string_view kLabelFamily = "Arial";

// A font as a driver makes it: family, height of its characters in device
// pixels, weight and slant.
struct FontFace {
  std::string_view family = kLabelFamily;
  int pixelSize = 11;
  FontWeight weight = FontWeight::Regular;
  bool italic = false;

  friend bool operator==(const FontFace&, const FontFace&) = default;
};

// A design's font: size in points, weight and slant.
struct Font {
  double points = 8.25;
  FontWeight weight = FontWeight::Regular;
  bool italic = false;

  // As drawn on a display: the height of its characters in pixels, at least one.
  [[nodiscard]] FontFace on(const DisplayScale& scale) const {
    const auto pixels = std::lround(points * scale.dpi() / 72.0);
    return {kLabelFamily, std::max(1, static_cast<int>(pixels)), weight, italic};
  }
};

}  // namespace ui
