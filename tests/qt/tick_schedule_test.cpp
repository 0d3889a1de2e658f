#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <thread>

#include "qt_fixture.h"
#include "ui/controls.h"
#include "ui/qt/tick_scheduler.h"

namespace {

using namespace std::chrono_literals;
using qt_testing::QtFixture;
using ui::qt::followingTick;

TEST(TickSchedule, StaysOnItsGridAndSkipsWhatAStallMissed) {
  // On time, or a little late: the next tick in line, not now + period.
  EXPECT_EQ(followingTick(55ms, 55ms, 55ms), 110ms);
  EXPECT_EQ(followingTick(55ms, 55ms, 70ms), 110ms);
  EXPECT_EQ(followingTick(110ms, 55ms, 164ms), 165ms);
  // Late by exactly a period: that tick is due now and is skipped too.
  EXPECT_EQ(followingTick(55ms, 55ms, 110ms), 165ms);
  // A stall of several periods: one tick, then back on the grid after now.
  EXPECT_EQ(followingTick(55ms, 55ms, 300ms), 330ms);
  EXPECT_EQ(followingTick(55ms, 55ms, 330ms), 385ms);
  // Early (a coarse clock): still the next one in line.
  EXPECT_EQ(followingTick(55ms, 55ms, 54ms), 110ms);
}

using TickDelivery = QtFixture;

TEST_F(TickDelivery, AStalledLoopGetsOneTickNotABurstAndPausingDisarmsTheClock) {
  ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
  ui::Timer& timer = *testForm().timer;
  int ticks = 0;
  testForm().tick = [&](ui::Timer&) { ++ticks; };
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 20000));

  // The loop is held up for more than three periods, then runs again: the
  // ticks missed meanwhile are skipped, one comes, the next is a period away.
  std::this_thread::sleep_for(190ms);
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(driver.waking());
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 3; }, 20000));

  // Paused between two ticks: nothing is left to wake the loop, and nothing
  // comes for a while; going on starts a fresh schedule.
  app.dispatch([&] { timer.setEnabled(false); });
  EXPECT_FALSE(driver.waking());
  QTest::qWait(150);
  EXPECT_EQ(ticks, 3);
  app.dispatch([&] { timer.setEnabled(true); });
  EXPECT_TRUE(driver.waking());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks == 4; }, 20000));
}

}  // namespace
