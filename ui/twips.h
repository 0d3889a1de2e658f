#pragma once

// Position arithmetic. Positions are single-precision twips (15 twips to the
// pixel); sums and differences are formed in double, checked, and rounded to
// single precision when stored or compared. Handlers never do raw float
// arithmetic on positions: they go through these.

namespace ui {

inline constexpr int kTwipsPerPixel = 15;

// Each raises Error: Overflow for an infinite result, InvalidArgument for a
// result that is not a number, DivisionByZero for a zero divisor.
[[nodiscard]] double sum(double a, double b);
[[nodiscard]] double difference(double a, double b);
[[nodiscard]] double quotient(double a, double b);

// Rounds to the nearest single-precision value; a value beyond the float
// range raises Overflow, a NaN InvalidArgument.
[[nodiscard]] float single(double value);

// The common case: a stored position moved by delta.
[[nodiscard]] inline float offset(float position, double delta) {
  return single(sum(position, delta));
}

// Twips to the nearest whole pixel.
[[nodiscard]] int toPixels(double twips) noexcept;

}  // namespace ui
