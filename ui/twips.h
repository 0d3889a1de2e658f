#pragma once

#include <cmath>
#include <limits>

// Position arithmetic. Positions are single-precision twips (15 twips to the
// pixel); sums and differences are formed in double, checked, and rounded to
// single precision when stored or compared. Handlers never do raw float
// arithmetic on positions: they go through these. They run for every element
// on every tick, so the checks are inline and the raising is not.

namespace ui {

inline constexpr int kTwipsPerPixel = 15;

namespace detail {
// Raises Overflow for an infinite value, InvalidArgument for a NaN.
[[noreturn]] void raiseNotFinite(double value);
// Values at or beyond the midpoint between the largest float and the next
// power of two round to infinity.
inline constexpr double kSingleLimit =
    static_cast<double>(std::numeric_limits<float>::max()) + 0x1p103;

inline double checked(double result) {
  if (!std::isfinite(result)) [[unlikely]] {
    raiseNotFinite(result);
  }
  return result;
}
}  // namespace detail

// Each raises Error: Overflow for an infinite result, InvalidArgument for a
// result that is not a number.
[[nodiscard]] inline double sum(double a, double b) {
  return detail::checked(a + b);
}
[[nodiscard]] inline double difference(double a, double b) {
  return detail::checked(a - b);
}

// Rounds to the nearest single-precision value; a value beyond the float
// range raises Overflow, a NaN InvalidArgument.
[[nodiscard]] inline float single(double value) {
  if (!(std::fabs(value) < detail::kSingleLimit)) [[unlikely]] {
    detail::raiseNotFinite(std::isnan(value) ? value : std::numeric_limits<double>::infinity());
  }
  return static_cast<float>(value);
}

// The common case: a stored position moved by delta.
[[nodiscard]] inline float offset(float position, double delta) {
  return single(sum(position, delta));
}

// Twips to the nearest whole pixel, halves away from zero; clamped far outside
// any screen. Multiplying by the reciprocal instead of dividing can move the
// quotient by one unit in its last place, which never changes the nearest
// whole pixel of a whole number of twips (no such quotient lies that near a
// half), and every position this game makes is a whole number of twips.
[[nodiscard]] inline int toPixels(double twips) noexcept {
  constexpr double kLimit = 1 << 30;
  constexpr double kPixelsPerTwip = 1.0 / kTwipsPerPixel;
  const double pixels = twips * kPixelsPerTwip;
  if (!(pixels > -kLimit)) [[unlikely]] {
    return -(1 << 30);
  }
  if (!(pixels < kLimit)) [[unlikely]] {
    return 1 << 30;
  }
  return static_cast<int>(pixels >= 0 ? pixels + 0.5 : pixels - 0.5);
}

}  // namespace ui
