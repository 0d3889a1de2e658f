#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/program.h"
#include "assets/pictures.h"
#include "game/form1.h"
#include "win32_fixture.h"

namespace {

using win32_testing::DriverTest;

using win32_testing::Capture;

class GameWindow : public DriverTest {
 protected:
  GameWindow() { app::registerForms(app); }
  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
};

constexpr std::uint32_t kCyan = 0x00FFFF;
constexpr std::uint32_t kYellow = 0xFFFF00;

TEST_F(GameWindow, TheFirstFrameShowsTheDesign) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  HWND window = driver.windowOf(game());
  ::UpdateWindow(window);  // painted now, before any tick could move the column
  const Capture frame(window);

  ASSERT_EQ(frame.width(), 792);
  ASSERT_EQ(frame.height(), 72);
  EXPECT_TRUE(frame.shows(assets::ship(), 24, 16));
  EXPECT_TRUE(frame.shows(assets::enemy(), 224, 16));

  // The yellow of the flag stays inside the end marker's box, stretched to fill it.
  int left = frame.width();
  int top = frame.height();
  int right = -1;
  int bottom = -1;
  for (int y = 0; y < 56; ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (frame.at(x, y) == kYellow) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
    }
  }
  EXPECT_GE(left, 296);
  EXPECT_GE(top, 16);
  EXPECT_LE(right, 296 + 105 - 1);
  EXPECT_LE(bottom, 16 + 41 - 1);
  EXPECT_GT(right - left, 105 / 2);

  // The bar: cyan from row 56 to the last row, clipped at the right edge.
  for (const int x : {0, 5, 780, 791}) {
    EXPECT_EQ(frame.at(x, 55), 0x000000U) << x;
    for (int y = 56; y < 72; ++y) {
      EXPECT_EQ(frame.at(x, y), kCyan) << x << "," << y;
    }
  }
  // Hidden controls leave the ground black: h over the top row, d beside the ship.
  for (int x = 40; x < 105; ++x) {
    EXPECT_EQ(frame.at(x, 0), 0x000000U) << x;
  }
  for (int y = 16; y < 50; ++y) {
    for (int x = 8; x < 24; ++x) {
      EXPECT_EQ(frame.at(x, y), 0x000000U) << x << "," << y;
    }
  }
}

TEST_F(GameWindow, AClickOnTheAboutBarOpensTheAboutWindow) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  click(driver.windowOf(game()), 400, 64);
  ASSERT_TRUE(runUntil([&] { return app.loadedForm("frmAbout") != nullptr; }));
  EXPECT_EQ(game().Timer1().interval(), 0);
  EXPECT_EQ(game().Timer2().interval(), 0);
  HWND about = driver.windowOf(*app.loadedForm("frmAbout"));
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(::IsWindowVisible(about));
  EXPECT_FALSE(driver.anyScheduled());
}

}  // namespace
