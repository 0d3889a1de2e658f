#pragma once

#include <cstdint>

namespace ui {

// The colours of the system's scheme that the designs name.
enum class SystemColor : std::uint8_t { MenuText, ButtonFace, ButtonText };

// A 24-bit colour. A colour of the system's scheme is the standard scheme's
// on every target, whatever the desktop chose: the game's pictures are drawn
// on black and need the window's black ground, and both targets show the same.
class Color {
 public:
  static constexpr Color rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return Color((std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue);
  }
  static constexpr Color system(SystemColor color) noexcept {
    return Color(color == SystemColor::ButtonFace ? 0xC0C0C0 : 0x000000);  // the texts are black
  }

  // 0xRRGGBB.
  [[nodiscard]] constexpr std::uint32_t rgb() const { return rgb_; }
  [[nodiscard]] constexpr std::uint8_t red() const { return (rgb_ >> 16) & 0xFF; }
  [[nodiscard]] constexpr std::uint8_t green() const { return (rgb_ >> 8) & 0xFF; }
  [[nodiscard]] constexpr std::uint8_t blue() const { return rgb_ & 0xFF; }

  friend constexpr bool operator==(Color, Color) = default;

 private:
  explicit constexpr Color(std::uint32_t rgb) noexcept : rgb_(rgb) {}
  std::uint32_t rgb_;
};

}  // namespace ui
