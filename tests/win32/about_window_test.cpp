#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "about/frm_about.h"
#include "app/program.h"
#include "assets/pictures.h"
#include "game/form1.h"
#include "ui/geometry.h"
#include "win32_fixture.h"

// The About window on real windows, driven through the system's input queue.
namespace {

using win32_testing::Capture;
using win32_testing::DriverTest;
using win32_testing::User;

class AboutWindow : public DriverTest {
 protected:
  AboutWindow() { app::registerForms(app); }
  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  about::FrmAbout* about() {
    return dynamic_cast<about::FrmAbout*>(app.loadedForm(about::FrmAbout::kName));
  }
  HWND aboutWindow() { return about() == nullptr ? nullptr : driver.windowOf(*about()); }

  // A click on the "About" bar of the game window: the game pauses, and no
  // timer is left to wake the loop while the About window is up.
  void openAbout() {
    User::click(driver.windowOf(game()), 100, 64);
    ASSERT_TRUE(
        runUntil([&] { return about() != nullptr && ::GetActiveWindow() == aboutWindow(); }));
    ASSERT_FALSE(driver.anyScheduled());
  }
};

bool isWhite(std::uint32_t pixel) {
  return pixel == 0xFFFFFF;
}
// Red text on white, with the greys of its smoothed edges.
bool isReddish(std::uint32_t pixel) {
  const int red = static_cast<int>(pixel >> 16);
  const int green = static_cast<int>((pixel >> 8) & 0xFF);
  const int blue = static_cast<int>(pixel & 0xFF);
  return red - green > 64 && std::abs(green - blue) < 16;
}
bool isDark(std::uint32_t pixel) {
  const auto channel = [&](int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
  return channel(16) + channel(8) + channel(0) < 3 * 160;
}

TEST_F(AboutWindow, LooksAsDesigned) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ASSERT_NO_FATAL_FAILURE(openAbout());
  HWND window = aboutWindow();
  // A fixed dialog frame: a close box, nothing to resize, minimise or maximise.
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0U);

  ::UpdateWindow(window);
  const Capture frame(window);
  ASSERT_EQ(frame.width(), 351);
  ASSERT_EQ(frame.height(), 150);
  const ui::PixelRect ok{16, 120, 84, 23};
  const ui::PixelRect sysInfo{248, 120, 83, 23};
  const ui::PixelRect note{96, 16, 177, 97};
  const ui::PixelRect title{16, 56, 75, 16};
  const ui::PixelRect version{16, 72, 131, 15};
  const ui::PixelRect picture{288, 40, 55, 71};

  // Everything that is not a button or the picture is white ground or the
  // labels' text, each inside its own label.
  int red = 0;
  int dark = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (ok.contains(x, y) || sysInfo.contains(x, y) || picture.contains(x, y)) {
        continue;
      }
      const std::uint32_t pixel = frame.at(x, y);
      if (isReddish(pixel)) {
        ++red;
        EXPECT_TRUE(note.contains(x, y)) << x << "," << y;
      } else if (isDark(pixel)) {
        ++dark;
        EXPECT_TRUE(title.contains(x, y) || version.contains(x, y)) << x << "," << y;
      } else if (!note.contains(x, y) && !title.contains(x, y) && !version.contains(x, y)) {
        EXPECT_TRUE(isWhite(pixel)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(red, 200);
  EXPECT_GT(dark, 50);
  // The buttons are drawn, not left white.
  EXPECT_FALSE(isWhite(frame.at(ok.x + 2, ok.y + 2)));
  EXPECT_FALSE(isWhite(frame.at(sysInfo.x + 2, sysInfo.y + 2)));

  // The picture fills its box, each pixel taken from about the same place of
  // the 108 x 143 original.
  const ui::Picture& portrait = assets::portrait();
  const auto original = [&](int x, int y) {
    x = std::clamp(x, 0, portrait.width - 1);
    y = std::clamp(y, 0, portrait.height - 1);
    return portrait.pixels[static_cast<std::size_t>(y * portrait.width + x)] & 0xFFFFFF;
  };
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const int sourceX = x * portrait.width / picture.width;
      const int sourceY = y * portrait.height / picture.height;
      bool matches = false;
      for (int dy = -1; dy <= 2 && !matches; ++dy) {
        for (int dx = -1; dx <= 2 && !matches; ++dx) {
          matches = frame.at(picture.x + x, picture.y + y) == original(sourceX + dx, sourceY + dy);
        }
      }
      EXPECT_TRUE(matches) << x << "," << y;
    }
  }
}

}  // namespace
