#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "app/program.h"
#include "assets/pictures.h"
#include "game/form1.h"
#include "ui/geometry.h"
#include "ui/twips.h"
#include "win32_fixture.h"

// The game window's pixels, and a shot fired through the system's input queue.
namespace {

using win32_testing::Capture;
using win32_testing::DriverTest;
using win32_testing::User;

class GameWindow : public DriverTest {
 protected:
  GameWindow() { app::registerForms(app); }
  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  HWND gameWindow() { return driver.windowOf(game()); }
};

TEST_F(GameWindow, TheFirstFrameShowsTheDesign) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ::UpdateWindow(gameWindow());  // painted now, before any tick could move the column
  const Capture frame(gameWindow());

  ASSERT_EQ(frame.width(), 792);
  ASSERT_EQ(frame.height(), 72);
  EXPECT_TRUE(frame.shows(assets::ship(), 24, 16));
  EXPECT_TRUE(frame.shows(assets::enemy(), 224, 16));

  // The yellow of the flag is stretched to fill the end marker's box, and
  // stays inside it.
  const ui::PixelRect marker{296, 16, 105, 41};
  int left = frame.width();
  int right = -1;
  for (int y = 0; y < 56; ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (frame.at(x, y) == 0xFFFF00) {
        EXPECT_TRUE(marker.contains(x, y)) << x << "," << y;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  EXPECT_GT(right - left, marker.width / 2);

  // The cyan bar from row 56 to the last, clipped at the right edge.
  for (const int x : {0, 5, 780, 791}) {
    EXPECT_EQ(frame.at(x, 55), 0x000000U) << x;
    for (int y = 56; y < 72; ++y) {
      EXPECT_EQ(frame.at(x, y), 0x00FFFFU) << x << "," << y;
    }
  }
  // Hidden controls leave the ground black: h over the top row, d beside the ship.
  for (const ui::PixelRect hidden : {ui::PixelRect{40, 0, 65, 1}, ui::PixelRect{8, 16, 16, 34}}) {
    for (int y = hidden.y; y < hidden.y + hidden.height; ++y) {
      for (int x = hidden.x; x < hidden.x + hidden.width; ++x) {
        EXPECT_EQ(frame.at(x, y), 0x000000U) << x << "," << y;
      }
    }
  }
}

TEST_F(GameWindow, AShotEnemyIsWipedFromTheWindow) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ui::Image& first = game().l()(0);
  ui::Image& second = game().l()(1);
  // After the 9th tick element 0 stands at 2460: the next tick brings it
  // within the reach of 2370, and it stays there until the 21st.
  ASSERT_TRUE(runUntil([&] { return first.left() <= 2460; }));
  User::press(VK_SPACE);
  ASSERT_TRUE(runUntil([&] { return !first.visible(); }));
  ASSERT_TRUE(runUntil([&] { return first.left() <= 1060; }));
  ::UpdateWindow(gameWindow());
  const Capture frame(gameWindow());
  EXPECT_TRUE(frame.shows(assets::enemy(), ui::toPixels(second.left()), 16));
  // Where element 0 would stand, right of the ship, only the ground shows.
  EXPECT_EQ(frame.at(ui::toPixels(first.left()) + assets::enemy().width - 4, 30), 0x000000U);
}

}  // namespace
