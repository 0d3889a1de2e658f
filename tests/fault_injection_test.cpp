#include <gtest/gtest.h>

#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::GameFixture;

constexpr auto kTick = 55ms;

// Failures of the model's operations in the middle of the game's handlers: each
// ends in the untrapped-error report and exit status 1, with what the handler
// changed before the failure still in place when the report is shown.
class Faults : public GameFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(app.start(game::Form1::kName)); }
  game::Form1& f() { return game(); }

  void expectReport(const char* prompt) {
    ASSERT_EQ(driver.boxes().size(), 1U);
    EXPECT_EQ(driver.boxes()[0].prompt, prompt);
    EXPECT_EQ(driver.boxes()[0].title, "vorel");
    EXPECT_EQ(driver.exitStatus(), 1);
    // Nothing is handled after it.
    driver.advance(10s);
    EXPECT_EQ(driver.boxes().size(), 1U);
  }
};

TEST_F(Faults, ALookUpFailingMidTickLeavesTheEarlierElementsMoved) {
  std::vector<float> lefts;
  driver.answerBoxesWith([&](const auto&) {
    for (std::int16_t i = 0; i < 120; ++i) {
      lefts.push_back(f().l()(i).left());
    }
  });
  // A tick looks up element i, then element 119 for the marker: the 41st look-up
  // of the tick is element 20's.
  app.faults().failOn(ui::Operation::LookUpElement, 41);
  driver.advance(kTick);
  expectReport("Error 7: Out of memory");
  ASSERT_EQ(lefts.size(), 120U);
  for (int i = 0; i < 120; ++i) {
    const float designed = 3360.0F + 500.0F * static_cast<float>(i);
    EXPECT_EQ(lefts[static_cast<std::size_t>(i)], i < 20 ? designed - 100.0F : designed) << i;
  }
}

TEST_F(Faults, AWriteFailingMidTickStopsTheTickThere) {
  float marker = 0;
  float reach = -1;
  float element1 = 0;
  driver.answerBoxesWith([&](const auto&) {
    marker = f().en().left();
    reach = f().k().left();
    element1 = f().l()(1).left();
  });
  driver.pressKey(f(), 32);
  // Writes of a tick per visible element: its Left, the marker, the reach. The
  // marker write of element 0 is the second.
  app.faults().failOn(ui::Operation::WriteProperty, 2, ui::ErrorNumber::Overflow);
  driver.advance(kTick);
  expectReport("Error 6: Overflow");
  EXPECT_EQ(marker, 4440.0F);    // never written
  EXPECT_EQ(reach, 2370.0F);     // never spent
  EXPECT_EQ(element1, 3860.0F);  // never reached
}

TEST_F(Faults, AKeyPressFailingAfterTheShotIsShownMayLeaveItVisible) {
  bool shotVisible = false;
  driver.answerBoxesWith([&](const auto&) { shotVisible = f().k().visible(); });
  // The echo, the shot shown, its first placement: then the failure.
  app.faults().failOn(ui::Operation::WriteProperty, 3);
  driver.pressKey(f(), 32);
  expectReport("Error 7: Out of memory");
  EXPECT_TRUE(shotVisible);
}

TEST_F(Faults, ARegistryFunctionThatCannotBeBoundEndsInTheLaunchersBox) {
  driver.click(f().Label1());
  fakes().registry.plantString(about::kLocalMachine, R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)",
                               "PATH", "C:\\info.exe");
  fakes().files.insert("C:\\info.exe");
  fakes().registryUnbound = true;
  driver.click(about().cmdSysInfo());
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.boxes()[0].prompt, "System Information Is Unavailable At This Time");
  EXPECT_TRUE(fakes().started.empty());
  EXPECT_FALSE(driver.exitStatus().has_value());  // trapped: the program goes on
}

TEST_F(Faults, APauseThatFailsHalfwayLeavesTheFirstTimerStopped) {
  bool timer1Paused = false;
  bool timer2Paused = true;
  driver.answerBoxesWith([&](const auto&) {
    timer1Paused = f().Timer1().interval() == 0;
    timer2Paused = f().Timer2().interval() == 0;
  });
  // Loading the About window writes its caption; then Timer1, then Timer2.
  app.faults().failOn(ui::Operation::WriteProperty, 3);
  driver.click(f().Label1());
  expectReport("Error 7: Out of memory");
  EXPECT_TRUE(timer1Paused);
  EXPECT_FALSE(timer2Paused);
}

}  // namespace
