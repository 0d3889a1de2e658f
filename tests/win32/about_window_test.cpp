#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
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

using namespace std::chrono_literals;
using win32_testing::BoxAnswerer;
using win32_testing::Capture;
using win32_testing::DriverTest;
using win32_testing::User;

constexpr const wchar_t* kUnavailable = L"System Information Is Unavailable At This Time";

class AboutWindow : public DriverTest {
 protected:
  AboutWindow() { app::registerForms(app); }
  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  HWND gameWindow() { return driver.windowOf(game()); }
  about::FrmAbout* about() {
    return dynamic_cast<about::FrmAbout*>(app.loadedForm(about::FrmAbout::kName));
  }
  HWND aboutWindow() { return about() == nullptr ? nullptr : driver.windowOf(*about()); }
  HWND button(const wchar_t* caption) {
    return ::FindWindowExW(aboutWindow(), nullptr, L"BUTTON", caption);
  }
  [[nodiscard]] bool paused() {
    return game().Timer1().interval() == 0 && game().Timer2().interval() == 0;
  }
  [[nodiscard]] bool resumed() {
    return about() == nullptr && game().Timer1().interval() == 1 &&
           game().Timer2().interval() == 1 && game().Timer1().enabled() &&
           game().Timer2().enabled();
  }

  // A click on the "About" bar, left of where the About window opens.
  void clickBar() { User::click(gameWindow(), 100, 64); }
  void openAbout() {
    clickBar();
    ASSERT_TRUE(
        runUntil([&] { return about() != nullptr && ::GetActiveWindow() == aboutWindow(); }));
    ASSERT_TRUE(paused());
  }
  // Lets the driver run for a while, whatever happens.
  void idle(std::chrono::milliseconds span) {
    driver.runUntil([] { return false; }, span);
  }
};

TEST_F(AboutWindow, KeysAndClicksReachTheRightButtons) {
  const BoxAnswerer answerer;
  ASSERT_TRUE(app.start(game::Form1::kName));
  const auto boxesAnswered = [&](int count) {
    return runUntil([&] { return answerer.answered() == count; }) &&
           runUntil([&] { return ::GetActiveWindow() == aboutWindow(); });
  };

  ASSERT_NO_FATAL_FAILURE(openAbout());
  EXPECT_EQ(::GetFocus(), button(L"OK"));
  User::press(VK_RETURN);
  ASSERT_TRUE(runUntil([&] { return resumed(); }));

  ASSERT_NO_FATAL_FAILURE(openAbout());
  User::press(VK_ESCAPE);
  ASSERT_TRUE(runUntil([&] { return resumed(); }));

  ASSERT_NO_FATAL_FAILURE(openAbout());
  User::press(VK_TAB);
  User::press(VK_RETURN);
  ASSERT_TRUE(boxesAnswered(1));
  EXPECT_EQ(::GetFocus(), button(L"&System Info..."));
  User::press(VK_SPACE);
  ASSERT_TRUE(boxesAnswered(2));
  User::press(VK_TAB);  // back to OK, so Alt+S does not just click the focused button
  User::chord(VK_MENU, 'S');
  ASSERT_TRUE(boxesAnswered(3));
  User::clickCentre(button(L"&System Info..."));
  ASSERT_TRUE(boxesAnswered(4));
  // System Info leaves the window open and the game paused.
  EXPECT_NE(about(), nullptr);
  EXPECT_TRUE(paused());
  for (const BoxAnswerer::Box& box : answerer.boxes()) {
    EXPECT_EQ(box.title, L"vorel");
    EXPECT_EQ(box.text, kUnavailable);
  }

  User::clickCentre(button(L"OK"));
  ASSERT_TRUE(runUntil([&] { return resumed(); }));
  EXPECT_EQ(answerer.answered(), 4);
}

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
  wchar_t caption[64]{};
  ::GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"About vorel");

  // A fixed dialog frame: a close box, nothing to resize, minimise or maximise, no icon.
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0U);
  EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);

  // The buttons at their places.
  const auto placeOf = [&](HWND child) {
    RECT box{};
    ::GetWindowRect(child, &box);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return ui::PixelRect{box.left, box.top, box.right - box.left, box.bottom - box.top};
  };
  const ui::PixelRect ok{16, 120, 84, 23};
  const ui::PixelRect sysInfo{248, 120, 83, 23};
  EXPECT_EQ(placeOf(button(L"OK")), ok);
  EXPECT_EQ(placeOf(button(L"&System Info...")), sysInfo);

  ::UpdateWindow(window);
  const Capture frame(window);
  ASSERT_EQ(frame.width(), 351);
  ASSERT_EQ(frame.height(), 150);
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

TEST_F(AboutWindow, KeysReachThePausedGameWhileNoEnemyMoves) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ASSERT_NO_FATAL_FAILURE(openAbout());
  const float left = game().l()(0).left();

  User::click(gameWindow(), 500, 4);  // the ground: the game window becomes active
  ASSERT_TRUE(runUntil([&] { return ::GetActiveWindow() == gameWindow(); }));
  User::press(VK_SPACE);
  ASSERT_TRUE(runUntil([&] { return game().e().caption() == "32"; }));
  EXPECT_EQ(game().k().left(), 2370);
  User::press('Q');
  ASSERT_TRUE(runUntil([&] { return game().e().caption() == "113"; }));
  EXPECT_EQ(game().k().left(), 2370);  // the reach waits for the first tick after OK
  EXPECT_FALSE(game().k().visible());

  idle(330ms);  // six periods of the game's timers
  EXPECT_EQ(game().l()(0).left(), left);
  EXPECT_TRUE(paused());
  EXPECT_NE(about(), nullptr);
  EXPECT_FALSE(driver.anyScheduled());
}

TEST_F(AboutWindow, ASecondClickOnTheBarOpensNoSecondWindow) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  ASSERT_NO_FATAL_FAILURE(openAbout());
  HWND first = aboutWindow();
  // Running again, so that the second click shows by pausing once more.
  app.dispatch([&] { game().Timer1().setInterval(1); });
  clickBar();
  ASSERT_TRUE(runUntil([&] { return game().Timer1().interval() == 0; }));
  EXPECT_EQ(aboutWindow(), first);
  EXPECT_EQ(
      win32_testing::topWindows({.process = ::GetCurrentProcessId(), .caption = L"About vorel"})
          .size(),
      1U);
}

TEST_F(AboutWindow, ClosingTheGameLeavesTheProgramToTheAboutWindowUntilOk) {
  const BoxAnswerer answerer;
  ASSERT_TRUE(app.start(game::Form1::kName));
  ASSERT_NO_FATAL_FAILURE(openAbout());
  HWND window = gameWindow();
  ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(runUntil([&] { return !game().loaded(); }));
  idle(330ms);
  EXPECT_FALSE(app.ended());
  EXPECT_FALSE(::IsWindow(window));
  ASSERT_NE(about(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(aboutWindow()));

  User::clickCentre(button(L"OK"));
  EXPECT_EQ(driver.exec(), 0);
  EXPECT_EQ(app.exitStatus(), 0);
  EXPECT_TRUE(answerer.boxes().empty());  // no defeat from a game nobody sees
  EXPECT_FALSE(game().loaded());
}

}  // namespace
