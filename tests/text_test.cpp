#include "ui/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "support/errors.h"
#include "ui/error.h"
#include "ui/twips.h"

namespace {

using testing_support::errorNumberOf;

constexpr int kOverflow = 6;
constexpr int kInvalid = 5;
constexpr int kDivisionByZero = 11;
constexpr int kTypeMismatch = 13;

TEST(PositionArithmetic, RaisesOnResultsThatAreNotFiniteNumbers) {
  const double huge = std::numeric_limits<double>::max();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(errorNumberOf([&] { (void)ui::sum(huge, huge); }), kOverflow);
  EXPECT_EQ(errorNumberOf([&] { (void)ui::difference(-huge, huge); }), kOverflow);
  EXPECT_EQ(errorNumberOf([&] { (void)ui::sum(inf, -inf); }), kInvalid);
  EXPECT_EQ(errorNumberOf([&] { (void)ui::quotient(1, 0); }), kDivisionByZero);
  EXPECT_EQ(errorNumberOf([&] { (void)ui::quotient(0, 0); }), kDivisionByZero);
}

TEST(PositionArithmetic, StoresTheNearestSingleAndRaisesBeyondTheFloatRange) {
  EXPECT_EQ(ui::single(16777217.0), 16777216.0F);  // 2^24 + 1 is not a float
  EXPECT_EQ(ui::offset(3360.0F, -100), 3260.0F);
  EXPECT_EQ(ui::single(static_cast<double>(FLT_MAX)), FLT_MAX);
  EXPECT_EQ(errorNumberOf([] { (void)ui::single(static_cast<double>(FLT_MAX) * 2); }), kOverflow);
  EXPECT_EQ(errorNumberOf([] { (void)ui::offset(-FLT_MAX, -static_cast<double>(FLT_MAX)); }),
            kOverflow);
  EXPECT_EQ(errorNumberOf([] { (void)ui::single(std::nan("")); }), kInvalid);
  // Subtracting 100 from a value this large no longer changes it, and that is
  // not an error.
  EXPECT_EQ(ui::offset(-1.0e12F, -100), -1.0e12F);
}

TEST(PositionArithmetic, RoundsTwipsToTheNearestPixel) {
  EXPECT_EQ(ui::toPixels(3360), 224);
  EXPECT_EQ(ui::toPixels(3260), 217);  // 217.33
  EXPECT_EQ(ui::toPixels(3250), 217);  // 216.67
  EXPECT_EQ(ui::toPixels(-120), -8);
  EXPECT_EQ(ui::toPixels(7.5), 1);  // halves away from zero
  EXPECT_EQ(ui::toPixels(-7.5), -1);
  EXPECT_EQ(ui::toPixels(1.0e30), 1 << 30);
  EXPECT_EQ(ui::toPixels(-1.0e30), -(1 << 30));
  // The conversion multiplies by the reciprocal: for whole twips it must agree
  // with the exact quotient everywhere, the drifting column's range included.
  const auto exact = [](long long twips) {
    const long long whole = twips / 15;
    const long long rest = twips % 15;
    return whole + (rest >= 8 ? 1 : 0) - (rest <= -8 ? 1 : 0);
  };
  for (long long twips = -200000; twips <= 200000; ++twips) {
    ASSERT_EQ(ui::toPixels(static_cast<double>(twips)), exact(twips)) << twips;
  }
  for (long long twips = -(1LL << 33); twips < (1LL << 33); twips += 99'999'989) {
    for (long long near = twips - 20; near <= twips + 20; ++near) {
      ASSERT_EQ(ui::toPixels(static_cast<double>(near)), exact(near)) << near;
    }
  }
}

TEST(CaptionToInteger, ReadsPlainAndDecoratedNumbers) {
  EXPECT_EQ(ui::toInt16("118"), 118);
  EXPECT_EQ(ui::toInt16("  -5 "), -5);
  EXPECT_EQ(ui::toInt16("+7"), 7);
  EXPECT_EQ(ui::toInt16("2.5"), 2);
  EXPECT_EQ(ui::toInt16("3.5"), 4);
  EXPECT_EQ(ui::toInt16("1e3"), 1000);
  EXPECT_EQ(ui::toInt16("-32768"), -32768);
  EXPECT_EQ(ui::toInt16("32767"), 32767);
  EXPECT_EQ(ui::toInt16("1e-400"), 0);
}

TEST(CaptionToInteger, RaisesForTextThatIsNotANumberOrTooLarge) {
  for (const char* text : {"", " ", "abc", "12a", "1e", ".", "-", "inf", "nan", "0x10", "1 2"}) {
    EXPECT_EQ(errorNumberOf([&] { (void)ui::toInt16(text); }), kTypeMismatch) << text;
  }
  for (const char* text : {"32768", "-32769", "1e5", "1e400", "99999999999999999999999"}) {
    EXPECT_EQ(errorNumberOf([&] { (void)ui::toInt16(text); }), kOverflow) << text;
  }
}

TEST(Text, DecimalAndUtf16RoundTrip) {
  EXPECT_EQ(ui::decimal(-32768), "-32768");
  EXPECT_EQ(ui::decimal(32), "32");
  const std::string arabic = "لقد خسرة";
  const std::u16string wide = ui::toUtf16(arabic);
  EXPECT_EQ(wide.size(), 8U);
  EXPECT_EQ(wide.front(), u'\u0644');
  EXPECT_EQ(ui::toUtf8(wide), arabic);
  EXPECT_EQ(ui::toUtf16("\xF0\x9F\x98\x80").size(), 2U);  // a surrogate pair
  EXPECT_EQ(ui::toUtf16("a\xC3"), std::u16string(u"a\uFFFD"));
}

}  // namespace
