#include <gtest/gtest.h>

#include <chrono>

#include "ui/qt/tick_scheduler.h"

namespace {

using namespace std::chrono_literals;
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

}  // namespace
