#include <gtest/gtest.h>

#include <chrono>
#include <limits>

#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using Game = testing_support::GameFixture;

TEST_F(Game, TheColumnMarchesWholeAndOnceClearedMarchesOnSilently) {
  const auto expectColumnAt = [&](int tick) {
    for (int i = 0; i < 120; ++i) {
      ASSERT_EQ(left(i), home(i, tick)) << "element " << i << " after tick " << tick;
      ASSERT_EQ(visible(i), tick == 0) << "element " << i << " after tick " << tick;
    }
  };
  expectColumnAt(0);
  hide(0, 119);
  ticks(3);
  arrange([&] { f().shot().setLeft(1.0e6F); });
  ticks(1);  // the last enemy falls, with the marker 1000 behind it
  expectColumnAt(4);
  const float marker = f().endFlag().left();
  EXPECT_EQ(marker, left(119) + 1000.0F);
  ticks(200);
  (void)driver.takeRepaints(f());
  press(65);  // only the space bar fires; the shot was spent in tick 4
  EXPECT_EQ(f().shot().left(), 0.0F);
  press(32);  // the shot shown, moved and hidden within the handler: nothing to redraw
  EXPECT_TRUE(driver.takeRepaints(f()).empty());
  ticks(5);
  expectColumnAt(209);
  EXPECT_EQ(f().endFlag().left(), marker);
  EXPECT_EQ(f().shot().left(), 2370.0F);  // nothing visible spends it
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(Game, DefeatComesAtTheShipsLeftPlus880AndNotPlus881) {
  arrange([&] { f().ship().setLeft(home(0, 1) - 881.0F); });
  ticks(1);
  EXPECT_TRUE(driver.boxes().empty());
  // A finger held on the window fires once, short of the column.
  app.touchDown(f(), f().ship().pixelRect().x + 2, f().ship().pixelRect().y + 2);
  arrange([&] { f().ship().setLeft(home(0, 2) - 880.0F); });
  bool waking = true;  // nothing ticks or repeats behind the box
  driver.answerBoxesWith([&](const auto&) { waking = driver.wakeTime().has_value(); });
  ticks(1);
  EXPECT_FALSE(waking);
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_TRUE(driver.boxes()[0].rightToLeft);  // its Arabic text
}

TEST_F(Game, AShotHidesOnlyTheNearestEnemyWithinReachUntilItIsTooLate) {
  ticks(8);
  press(32);
  ticks(1);  // tick 9: element 0 at 2460 is out of reach; the shot is spent all the same
  EXPECT_TRUE(visible(0));
  EXPECT_EQ(f().shot().left(), 0.0F);
  ticks(5);
  for (int n = 0; n < 5; ++n) {
    press(32);
  }
  ticks(1);  // tick 15: elements 0 and 1 both within 2370, five presses
  EXPECT_FALSE(visible(0));
  EXPECT_TRUE(visible(1));
  // A screen reader reads no more of the enemy that was hit.
  EXPECT_EQ(f().accessibleItem(&f().enemyColumn()(0)), nullptr);
  EXPECT_NE(f().accessibleItem(&f().enemyColumn()(1)), nullptr);
  arrange([&] { f().shot().setLeft(home(1, 16)); });
  ticks(1);
  EXPECT_FALSE(visible(1));
  hide(2, 3);
  ticks(19);
  press(32);
  ticks(1);  // tick 36, the last chance for element 3, at 1260
  EXPECT_FALSE(visible(3));
  ticks(5);
  press(32);
  bool hit = false;  // element 4, lost in tick 42, is hit in that tick all the same
  driver.answerBoxesWith([&](const auto&) { hit = !visible(4); });
  ticks(1);
  EXPECT_TRUE(hit);
}

// A finger held on the game window is the space bar held, repeating as a
// keyboard's does: the column falls; lifted, it fires no more. A tap on the
// "About" bar opens the About window and fires nothing.
TEST_F(Game, AFingerHeldOnTheGameWindowWinsAndATapOnAboutOpensIt) {
  const ui::PixelRect ship = f().ship().pixelRect();
  const ui::PixelRect bar = f().aboutBar().pixelRect();
  driver.advance(250ms);
  app.touchDown(f(), ship.x + 2, ship.y + 2);
  while (driver.boxes().empty() && visible(119) && driver.now() < 60s) {
    driver.advance(10ms);
  }
  EXPECT_TRUE(driver.boxes().empty());
  EXPECT_FALSE(visible(119));
  app.touchUp(f(), ship.x + 2, ship.y + 2);
  arrange([&] { f().keyEcho().setCaption(""); });
  ticks(20);
  app.touchDown(f(), bar.x + 1, bar.y + 1);
  app.touchUp(f(), bar.x + 1, bar.y + 1);
  EXPECT_TRUE(about().loaded());
  EXPECT_FALSE(app.nextTick().has_value());  // paused
  EXPECT_EQ(f().keyEcho().caption(), "");
}

TEST_F(Game, AnUntrappedErrorMidTickIsReportedOnceOverWhatTheTickChanged) {
  arrange([&] { l(20).setLeft(std::numeric_limits<float>::quiet_NaN()); });
  (void)driver.takeRepaints(f());
  driver.answerBoxesWith([&](const auto&) {
    EXPECT_FALSE(driver.takeRepaints(f()).empty());  // drawn under the report
    EXPECT_EQ(left(19), home(19, 1));                // moved before the error
    EXPECT_EQ(left(21), home(21, 0));
    EXPECT_EQ(driver.wakeTime(), std::nullopt);  // nothing wakes the program any more
    driver.advance(1s);                          // the program is over: nothing more is handled
    press(65);
    EXPECT_NE(f().keyEcho().caption(), "65");
  });
  ticks(1);
  EXPECT_EQ(driver.boxes().size(), 1U);
}

}  // namespace
