#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::GameFixture;

constexpr long long kTicks = 10'000'000;

// The column a player has cleared marches on for ever. Ten million ticks
// (a week of play) take it to about -1.1e9 twips, where a single-precision
// step of 100 already rounds to 128; every position must still be exactly
// what single-precision arithmetic gives, and nothing may raise.
TEST_F(GameFixture, TenMillionTicksOfAClearedColumn) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  game::Form1& f = game();
  app.dispatch([&] {
    for (std::int16_t i = 0; i < 120; ++i) {
      f.l()(i).setVisible(false);
    }
  });
  const float marker = f.en().left();

  const auto started = std::chrono::steady_clock::now();
  driver.advance(55ms * kTicks);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  std::printf("%lld ticks in %.1f s\n", kTicks, took.count());

  EXPECT_TRUE(driver.boxes().empty());
  ASSERT_FALSE(driver.exitStatus().has_value());
  for (std::int16_t i = 0; i < 120; ++i) {
    float expected = 3360.0F + 500.0F * static_cast<float>(i);
    for (long long t = 0; t < kTicks; ++t) {
      expected = static_cast<float>(static_cast<double>(expected) - 100.0);
    }
    ASSERT_EQ(f.l()(i).left(), expected) << "element " << i;
  }
  EXPECT_LT(f.l()(0).left(), -1.0e9F);
  EXPECT_EQ(f.en().left(), marker);
  EXPECT_EQ(f.k().left(), 0.0F);
}

}  // namespace
