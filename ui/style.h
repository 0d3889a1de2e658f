#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ui {

// A 24-bit colour, or an index into the system's colour scheme.
class Color {
 public:
  static constexpr Color rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return {false, (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue};
  }
  static constexpr Color system(int index) noexcept {
    return {true, static_cast<std::uint32_t>(index)};
  }

  [[nodiscard]] constexpr bool isSystem() const { return system_; }
  [[nodiscard]] constexpr int systemIndex() const { return static_cast<int>(value_); }
  // 0xRRGGBB; for a system colour, its value in the standard scheme.
  [[nodiscard]] constexpr std::uint32_t standardRgb() const {
    return system_ ? standardSystemColor(systemIndex()) : value_;
  }

  friend constexpr bool operator==(Color, Color) = default;

  // The standard scheme of the system colours the windows use.
  static constexpr std::uint32_t standardSystemColor(int index) {
    return index == kButtonFace ? 0xC0C0C0 : 0x000000;  // the texts are black
  }

  static constexpr int kMenuText = 7;
  static constexpr int kButtonFace = 15;
  static constexpr int kButtonText = 18;

 private:
  constexpr Color(bool system, std::uint32_t value) noexcept : system_(system), value_(value) {}
  bool system_;
  std::uint32_t value_;
};

// Text face. No face name: drivers use the system's sans-serif face at this size.
struct Font {
  double points = 8.25;
  int weight = 400;
  bool italic = false;
  int charset = 0;

  // The height of its characters in pixels at 96 dpi, at least one.
  [[nodiscard]] int pixelSize() const {
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
  }
};

enum class Alignment : std::uint8_t { Left, Center };

enum class BorderStyle : std::uint8_t {
  Sizable,      // title bar, system menu, minimise and maximise
  FixedDialog,  // title bar and close box only; not resizable
};

}  // namespace ui
