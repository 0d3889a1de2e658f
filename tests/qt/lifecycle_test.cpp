#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "qt_fixture.h"
#include "ui/controls.h"
#include "ui/error.h"

namespace {

using qt_testing::QtFixture;

using Lifecycle = QtFixture;

TEST_F(Lifecycle, OnlyARunningTimerHasAQtTimerArmed) {
  ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
  ui::Timer& timer = *testForm().timer;
  int ticks = 0;
  testForm().tick = [&](ui::Timer&) { ++ticks; };
  // The kernel timer is armed exactly while the model's timer runs; pausing
  // from a handler and stopping are the tick delivery tests'.
  EXPECT_TRUE(driver.armed(timer) && driver.waking());
  app.dispatch([&] {
    timer.setInterval(0);
    timer.setEnabled(false);
    timer.setEnabled(true);
  });
  EXPECT_FALSE(driver.armed(timer) || driver.waking());
  QTest::qWait(120);  // two shortest periods: nothing comes
  EXPECT_EQ(ticks, 0);

  app.dispatch([&] { timer.setInterval(1); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 20000));

  app.dispatch([&] { testForm().unload(); });
  EXPECT_EQ(driver.armedTimers(), 0U);
  EXPECT_FALSE(driver.waking());
}

TEST_F(Lifecycle, TheEndFromATickClosesTheWindowAndExitsWithZero) {
  int ticks = 0;
  bool after = false;
  testForm().tick = [&](ui::Timer&) {
    ++ticks;
    app.end();
    after = true;
  };
  const int status = runProgram([&] { ASSERT_TRUE(app.start(qt_testing::TestForm::kName)); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(after);
  EXPECT_EQ(window(testForm()), nullptr);
  EXPECT_EQ(driver.armedTimers(), 0U);
}

// One report for an error that escapes a handler, then the end: status 1,
// the window gone, and a box still open closed.
TEST_F(Lifecycle, AnUntrappedErrorShowsOneBoxThenEndsAllWithStatusOne) {
  bool holding = false;
  bool afterBox = false;
  testForm().clicked = [&](ui::Control&) {
    holding = true;
    app.msgBox("Hold");
    afterBox = true;
  };
  // The tick that comes while the box is open fails: its report ends all.
  testForm().tick = [&](ui::Timer&) {
    if (holding) {
      throw ui::Error(ui::ErrorNumber::Overflow);
    }
  };
  answerBoxes("Error");
  const int status = runProgram([&] {
    ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
    QTest::mouseClick(window(testForm()), Qt::LeftButton, {}, {100, 90});
  });
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(afterBox);
  ASSERT_EQ(seenBoxes.size(), 1U);
  EXPECT_EQ(seenBoxes[0].title, "vorel");
  EXPECT_TRUE(seenBoxes[0].text.startsWith("Error 6: ")) << seenBoxes[0].text.toStdString();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(window(testForm()), nullptr);
}

TEST_F(Lifecycle, ClosingWindowsEndsTheProgramOnlyWithTheLastOne) {
  const int status = runProgram([&] {
    ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
    app.dispatch([&] { buttonForm().show(); });
    ASSERT_NE(window(buttonForm()), nullptr);
    window(buttonForm())->close();
    EXPECT_EQ(window(buttonForm()), nullptr);
    EXPECT_FALSE(app.ended());
    EXPECT_TRUE(driver.armed(*testForm().timer));
    window(testForm())->close();
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(app.exitStatus(), 0);
  EXPECT_EQ(driver.armedTimers(), 0U);
}

}  // namespace
