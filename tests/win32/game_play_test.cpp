#include <gtest/gtest.h>
#include <windows.h>

#include "app/program.h"
#include "assets/pictures.h"
#include "game/form1.h"
#include "ui/twips.h"
#include "win32_fixture.h"

// The game on real windows, played through the system's input queue while
// the driver's own clock runs the ticks.
namespace {

using win32_testing::Capture;
using win32_testing::DriverTest;
using win32_testing::User;

class GamePlay : public DriverTest {
 protected:
  GamePlay() { app::registerForms(app); }
  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  HWND gameWindow() { return driver.windowOf(game()); }
};

TEST_F(GamePlay, ASpaceBarPressInReachShootsTheNearestEnemyAndTheGameGoesOn) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ui::Image& first = game().l()(0);
  ui::Image& second = game().l()(1);
  // After the 9th tick element 0 stands at 2460: the next tick brings it
  // within the reach of 2370, and it stays there until the 21st.
  ASSERT_TRUE(runUntil([&] { return first.left() <= 2460; }));
  User::press(VK_SPACE);
  ASSERT_TRUE(runUntil([&] { return game().e().caption() == "32"; }));
  ASSERT_TRUE(runUntil([&] { return !first.visible(); }));
  EXPECT_GE(first.left(), 1260);
  EXPECT_TRUE(second.visible());
  EXPECT_EQ(game().k().left(), 0);
  EXPECT_FALSE(game().k().visible());

  // The tick that would have lost the game with element 0 passes quietly.
  ASSERT_TRUE(runUntil([&] { return first.left() <= 1060; }));
  EXPECT_FALSE(app.ended());
  EXPECT_TRUE(game().Timer1().enabled());
  ::UpdateWindow(gameWindow());
  const Capture frame(gameWindow());
  EXPECT_TRUE(frame.shows(assets::enemy(), ui::toPixels(second.left()), 16));
  // Where element 0 would stand, right of the ship, only the ground shows.
  EXPECT_EQ(frame.at(ui::toPixels(first.left()) + assets::enemy().width - 4, 30), 0x000000U);
}

TEST_F(GamePlay, ALetterKeySetsTheEchoOnly) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ASSERT_TRUE(runUntil([&] { return game().l()(0).left() < 3360; }));
  User::press('Q');
  ASSERT_TRUE(runUntil([&] { return game().e().caption() == "113"; }));
  EXPECT_EQ(game().k().left(), 0);
  EXPECT_FALSE(game().k().visible());
  EXPECT_FALSE(game().e().visible());
  EXPECT_TRUE(game().l()(0).visible());
}

}  // namespace
