#include <gtest/gtest.h>

#include <cmath>

#include "support/game_fixture.h"

namespace {

using Soak = testing_support::GameFixture;

// A cleared column marches on for ever: ten million ticks, a week of play,
// take it past a billion twips to the left. Nothing may raise, and the column
// must stay drawable: every element there, in order, at a finite place.
TEST_F(Soak, TenMillionTicksOfAClearedColumn) {
  hide(0, 120);
  const float marker = f().endFlag().left();
  ticks(10'000'000);
  EXPECT_TRUE(driver.boxes().empty() && !driver.exitStatus().has_value());
  EXPECT_LT(left(0), -1.0e9F);
  for (int i = 1; i < 120; ++i) {
    ASSERT_TRUE(std::isfinite(left(i)) && left(i - 1) <= left(i)) << i;
  }
  EXPECT_EQ(f().endFlag().left(), marker);
  EXPECT_EQ(f().shot().left(), 0.0F);
}

}  // namespace
