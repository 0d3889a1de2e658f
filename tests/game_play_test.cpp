#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "assets/pictures.h"
#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::GameFixture;

constexpr auto kTick = 55ms;
constexpr const char* kDefeatText = "لقد خسرة";

class GamePlay : public GameFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(app.start(game::Form1::kName)); }

  game::Form1& f() { return game(); }
  void ticks(int count) { driver.advance(kTick * count); }
  void press(std::int16_t code) { driver.pressKey(f(), code); }
  float left(int i) { return f().l()(static_cast<std::int16_t>(i)).left(); }
  bool visible(int i) { return f().l()(static_cast<std::int16_t>(i)).visible(); }
  int hiddenCount() {
    int hidden = 0;
    for (int i = 0; i < 120; ++i) {
      hidden += visible(i) ? 0 : 1;
    }
    return hidden;
  }
  // Sets a property the way no handler does, to put the game in a chosen state.
  void arrange(auto&& change) { app.dispatch(change); }
};

TEST_F(GamePlay, TheColumnMarchesHiddenElementsIncludedWithTheMarkerBehindIt) {
  ticks(9);
  press(32);  // hides element 0 on tick 10
  ticks(5);
  press(32);  // hides element 1 on tick 15
  ticks(1);
  ASSERT_FALSE(visible(0));
  ASSERT_FALSE(visible(1));
  int t = 15;
  for (const int until : {15, 16, 31}) {
    ticks(until - t);
    t = until;
    for (int i = 0; i < 120; ++i) {
      ASSERT_EQ(left(i), 3360.0F + 500.0F * static_cast<float>(i) - 100.0F * static_cast<float>(t))
          << "element " << i << " after tick " << t;
    }
    EXPECT_EQ(f().en().left(), left(119) + 1000.0F);
  }
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(GamePlay, DefeatComesAtExactlyTheShipsLeftPlus880AndNotAt881) {
  // After one tick element 0 stands at 3260.
  arrange([&] { f().j().setLeft(3260.0F - 881.0F); });
  ticks(1);
  EXPECT_TRUE(driver.boxes().empty());
  // After the second, at 3160: exactly 880 from the ship.
  arrange([&] { f().j().setLeft(3160.0F - 880.0F); });
  ticks(1);
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.exitStatus(), 0);
}

TEST_F(GamePlay, AHitInTheTickThatReachesTheShipStillLoses) {
  ticks(21);
  press(32);
  bool hiddenAtDefeat = false;
  driver.answerBoxesWith([&](const auto&) { hiddenAtDefeat = !visible(0); });
  ticks(1);
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_TRUE(hiddenAtDefeat);
}

// With no shot, element 0 is lost on tick 22, at Left 1160.
TEST_F(GamePlay, TheDefeatSequenceStopsTheGameShowsTheWreckAndEnds) {
  std::vector<std::string> seen;
  float elementBefore = 0;
  float elementAfter = 0;
  ticks(21);
  EXPECT_TRUE(driver.boxes().empty());
  EXPECT_EQ(left(0), 1260.0F);
  driver.answerBoxesWith([&](const ui::headless::HeadlessDriver::Box& box) {
    EXPECT_FALSE(f().Timer1().enabled());
    EXPECT_EQ(f().Timer1().interval(), 1);
    EXPECT_EQ(f().j().picture(), &assets::defeat());
    // The wreck is painted before the box opens.
    const auto repaints = driver.takeRepaints(f());
    ASSERT_FALSE(repaints.empty());
    EXPECT_TRUE(repaints.back().intersected({24, 16, 61, 34}) == (ui::PixelRect{24, 16, 61, 34}));
    seen.push_back(box.prompt);
    seen.push_back(box.title);
    // While the box is open no timer wakes the game, and no tick moves it.
    EXPECT_EQ(driver.nextTick(), std::nullopt);
    elementBefore = left(0);
    driver.advance(2s);
    elementAfter = left(0);
  });
  ticks(1);
  EXPECT_EQ(seen, (std::vector<std::string>{kDefeatText, "vorel"}));
  EXPECT_EQ(elementBefore, 1160.0F);
  EXPECT_EQ(elementAfter, 1160.0F);
  EXPECT_EQ(driver.exitStatus(), 0);
  EXPECT_FALSE(f().loaded());
  // After OK nothing more is handled.
  const std::size_t boxes = driver.boxes().size();
  driver.advance(10s);
  press(32);
  EXPECT_EQ(driver.boxes().size(), boxes);
  EXPECT_EQ(driver.nextTick(), std::nullopt);
}

TEST_F(GamePlay, TheSpaceBarLeavesAReachOf2370AndLettersOnlyEcho) {
  press(65);
  EXPECT_EQ(f().e().caption(), "65");
  EXPECT_EQ(f().k().left(), 0.0F);
  EXPECT_FALSE(f().k().visible());
  press(-5);
  EXPECT_EQ(f().e().caption(), "-5");
  press(32);
  EXPECT_EQ(f().e().caption(), "32");
  EXPECT_EQ(f().k().left(), 2370.0F);
  EXPECT_FALSE(f().k().visible());
  EXPECT_FALSE(f().e().visible());
}

TEST_F(GamePlay, ShotsHideAtMostOneEnemyPerTickTheNearest) {
  ticks(14);  // element 0 at 1960, element 1 at 2460
  for (int i = 0; i < 10; ++i) {
    press(32);
  }
  ticks(1);  // element 0 at 1860, element 1 at 2360: both within 2370
  EXPECT_FALSE(visible(0));
  EXPECT_TRUE(visible(1));
  EXPECT_EQ(f().k().left(), 0.0F);

  // A reach far beyond the column still takes only the nearest.
  arrange([&] { f().k().setLeft(1.0e6F); });
  ticks(1);
  EXPECT_FALSE(visible(1));
  EXPECT_TRUE(visible(2));
  EXPECT_EQ(hiddenCount(), 2);
}

class ShotTiming : public GamePlay, public ::testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(ShotTiming, ElementZeroCanBeHitFromTick10ToTick21) {
  const auto [tick, hit] = GetParam();
  ticks(tick - 1);
  press(32);
  ticks(1);
  EXPECT_EQ(!visible(0), hit) << "shot before tick " << tick;
  EXPECT_EQ(f().k().left(), 0.0F);  // spent either way
}

INSTANTIATE_TEST_SUITE_P(Ticks, ShotTiming,
                         ::testing::Values(std::pair{9, false}, std::pair{10, true},
                                           std::pair{21, true}));

TEST_F(GamePlay, AClearedColumnMarchesOnSilentlyAndKeepsALateReach) {
  // Hide everything but the last enemy, then shoot it down.
  arrange([&] {
    for (int i = 0; i < 119; ++i) {
      f().l()(static_cast<std::int16_t>(i)).setVisible(false);
    }
  });
  ticks(3);
  arrange([&] { f().k().setLeft(1.0e6F); });
  ticks(1);
  ASSERT_EQ(hiddenCount(), 120);
  const float markerAtClear = f().en().left();
  EXPECT_EQ(markerAtClear, left(119) + 1000.0F);
  EXPECT_EQ(f().k().left(), 0.0F);

  ticks(200);
  EXPECT_TRUE(driver.boxes().empty());
  EXPECT_EQ(f().en().left(), markerAtClear);
  EXPECT_EQ(left(0), 3360.0F - 100.0F * 204);

  press(32);
  ticks(5);
  EXPECT_EQ(f().k().left(), 2370.0F);  // nothing visible spends it
  EXPECT_FALSE(driver.exitStatus().has_value());
}

// A person holding the space bar down: the first press 250 ms after the window
// shows, the key repeating after 500 ms, then 30 times a second.
TEST_F(GamePlay, APlayerWhoHoldsTheSpaceBarClearsTheColumn) {
  driver.answerBoxesWith([](const auto&) { FAIL() << "the player lost"; });
  const auto pressAt = [](int n) {
    if (n == 0) {
      return 250ms;
    }
    return 750ms + std::chrono::milliseconds((n - 1) * 1000 / 30);
  };
  for (int n = 0; hiddenCount() < 120 && !driver.exitStatus(); ++n) {
    driver.advance(pressAt(n) - driver.now());
    press(32);
    ASSERT_LT(n, 2000);
  }
  EXPECT_EQ(hiddenCount(), 120);
  EXPECT_TRUE(driver.boxes().empty());
  EXPECT_FALSE(driver.exitStatus().has_value());
}

}  // namespace
