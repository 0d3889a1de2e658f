#include "ui/twips.h"

#include <cmath>
#include <limits>

#include "ui/error.h"

namespace ui {
namespace {

double checked(double result) {
  if (std::isnan(result)) {
    throw Error(ErrorNumber::InvalidArgument);
  }
  if (std::isinf(result)) {
    throw Error(ErrorNumber::Overflow);
  }
  return result;
}

// Values at or beyond the midpoint between the largest float and the next
// power of two round to infinity.
const double kSingleLimit =
    static_cast<double>(std::numeric_limits<float>::max()) + std::ldexp(1.0, 103);

}  // namespace

double sum(double a, double b) {
  return checked(a + b);
}

double difference(double a, double b) {
  return checked(a - b);
}

double quotient(double a, double b) {
  if (b == 0.0) {
    throw Error(ErrorNumber::DivisionByZero);
  }
  return checked(a / b);
}

float single(double value) {
  checked(value);
  if (std::fabs(value) >= kSingleLimit) {
    throw Error(ErrorNumber::Overflow);
  }
  return static_cast<float>(value);
}

int toPixels(double twips) noexcept {
  const double pixels = std::nearbyint(twips / kTwipsPerPixel);
  constexpr double kLimit = 1 << 30;
  if (!(pixels > -kLimit)) {
    return -(1 << 30);
  }
  if (!(pixels < kLimit)) {
    return 1 << 30;
  }
  return static_cast<int>(pixels);
}

}  // namespace ui
