#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::GameFixture;

constexpr auto kTick = 55ms;

class AboutWindow : public GameFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(app.start(game::Form1::kName)); }

  game::Form1& f() { return game(); }
  void clickBar() { driver.click(f().Label1()); }
  void clickOK() { driver.click(about().cmdOK()); }
  std::vector<float> positions() {
    std::vector<float> lefts;
    for (std::int16_t i = 0; i < 120; ++i) {
      lefts.push_back(f().l()(i).left());
    }
    lefts.push_back(f().en().left());
    return lefts;
  }
  bool paused() { return f().Timer1().interval() == 0 && f().Timer2().interval() == 0; }
};

TEST_F(AboutWindow, OpensOnlyFromTheBarAndPausesAndResumesKeepingEveryPosition) {
  driver.advance(5 * kTick);
  EXPECT_EQ(app.loadedForm(about::FrmAbout::kName), nullptr);
  clickBar();
  EXPECT_TRUE(driver.isShown(about()));
  EXPECT_EQ(driver.activeForm(), &about());
  EXPECT_EQ(about().caption(), "About vorel");
  EXPECT_TRUE(paused());
  EXPECT_TRUE(f().Timer1().enabled());  // the pause never touches Enabled
  EXPECT_TRUE(f().Timer2().enabled());
  const auto atPause = positions();

  driver.advance(1min);
  EXPECT_EQ(driver.nextTick(), std::nullopt);  // no timer wakes anything while paused
  // The game window still takes keys during the pause; the reach waits.
  driver.pressKey(f(), 'x');
  EXPECT_EQ(f().e().caption(), "120");
  driver.pressKey(f(), 32);
  EXPECT_EQ(positions(), atPause);

  clickOK();
  EXPECT_EQ(f().Timer1().interval(), 1);
  EXPECT_EQ(f().Timer2().interval(), 1);
  EXPECT_EQ(app.loadedForm(about::FrmAbout::kName), nullptr);
  EXPECT_EQ(positions(), atPause);
  // Resumed from where it stopped; the shot fired during the pause is used by
  // the first tick after it.
  driver.advance(kTick);
  EXPECT_EQ(f().l()(0).left(), atPause[0] - 100.0F);
  EXPECT_EQ(f().k().left(), 0.0F);
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(AboutWindow, TheCloseBoxKeepsThePauseAndAReopenLoadsAgain) {
  driver.advance(3 * kTick);
  clickBar();
  const auto atPause = positions();
  driver.close(about());
  EXPECT_EQ(app.loadedForm(about::FrmAbout::kName), nullptr);
  EXPECT_FALSE(app.exitStatus().has_value());
  driver.advance(1min);
  EXPECT_TRUE(paused());
  EXPECT_EQ(positions(), atPause);

  clickBar();  // loads again: the load handler sets the caption anew
  EXPECT_EQ(about().caption(), "About vorel");
  EXPECT_TRUE(driver.isShown(about()));
  clickOK();
  driver.advance(kTick);
  EXPECT_EQ(f().l()(0).left(), atPause[0] - 100.0F);
}

TEST_F(AboutWindow, ASecondClickShowsTheSameWindowWithoutLoadingItAgain) {
  clickBar();
  about::FrmAbout& first = about();
  // Mark the loaded window and restart the timers by hand: a second load would
  // reset the caption, and the click must pause again.
  app.dispatch([&] {
    first.setCaption("marked");
    f().Timer1().setInterval(1);
    f().Timer2().setInterval(1);
  });
  clickBar();
  EXPECT_EQ(&about(), &first);
  EXPECT_EQ(about().caption(), "marked");
  EXPECT_TRUE(paused());
}

TEST_F(AboutWindow, OKAfterTheGameWindowClosedEndsTheProgramQuietly) {
  clickBar();
  driver.close(f());
  EXPECT_FALSE(app.exitStatus().has_value());  // the About window keeps it running
  EXPECT_FALSE(f().loaded());
  driver.advance(1min);
  clickOK();
  EXPECT_EQ(app.exitStatus(), 0);
  EXPECT_FALSE(f().loaded());  // no hidden game was revived
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(AboutWindow, ClosingBothWindowsEndsTheProgram) {
  clickBar();
  driver.close(about());
  EXPECT_FALSE(app.exitStatus().has_value());
  driver.close(f());
  EXPECT_EQ(app.exitStatus(), 0);
}

}  // namespace
