#include "ui/win32/tick_schedule.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/headless/headless_driver.h"

namespace {

using ui::win32::TickSchedule;

const ui::FormDesign kDesign{.caption = "Clock", .clientWidth = 150, .clientHeight = 150};
const ui::TimerDesign kFast{.name = "fast", .interval = 1, .enabled = true};
const ui::TimerDesign kSlow{.name = "slow", .interval = 100, .enabled = true};

class ClockForm final : public ui::Form {
 public:
  explicit ClockForm(ui::Application& app) : ui::Form(app, "Clock", kDesign) {}
  ui::Timer* fast = nullptr;
  ui::Timer* slow = nullptr;

 private:
  void build() override {
    fast = &add<ui::Timer>(kFast);
    slow = &add<ui::Timer>(kSlow);
  }
};

// The schedule on its own, with a counter of one unit a millisecond.
class Schedule : public ::testing::Test {
 protected:
  Schedule() {
    app.registerForm("Clock", [](ui::Application& a) { return std::make_unique<ClockForm>(a); });
    form = &app.form<ClockForm>("Clock");
    form->load();
  }
  std::vector<ui::Timer*> dueAt(TickSchedule::Count now) {
    std::vector<ui::Timer*> due;
    while (ui::Timer* timer = schedule.takeDue(now)) {
      due.push_back(timer);
    }
    return due;
  }

  ui::headless::HeadlessDriver driver;
  ui::Application app{driver, "vorel"};
  ClockForm* form = nullptr;
  TickSchedule schedule{1000};
};

TEST_F(Schedule, KeepsAnAbsoluteScheduleAndSkipsMissedTicks) {
  schedule.update(*form->fast, 0);
  schedule.update(*form->slow, 0);
  EXPECT_EQ(schedule.nextDue(), 55);
  EXPECT_TRUE(dueAt(54).empty());
  EXPECT_EQ(dueAt(57), (std::vector<ui::Timer*>{form->fast}));
  EXPECT_EQ(schedule.nextDue(), 100);  // the slow one; the fast one is due at 110, not 112
  EXPECT_EQ(dueAt(110), (std::vector<ui::Timer*>{form->slow, form->fast}));
  EXPECT_EQ(schedule.nextDue(), 165);

  // A stall of half a second: one tick each, then back on the old beat.
  EXPECT_EQ(dueAt(600), (std::vector<ui::Timer*>{form->fast, form->slow}));
  EXPECT_EQ(schedule.nextDue(), 605);
  EXPECT_EQ(dueAt(605), (std::vector<ui::Timer*>{form->fast}));
  EXPECT_EQ(schedule.nextDue(), 660);
}

TEST_F(Schedule, KeepsTheBeatUntilThePeriodChanges) {
  schedule.update(*form->fast, 20);
  EXPECT_EQ(schedule.nextDue(), 75);
  schedule.update(*form->fast, 40);  // same period again: the beat stays
  EXPECT_EQ(schedule.nextDue(), 75);
  app.dispatch([&] { form->fast->setInterval(200); });
  schedule.update(*form->fast, 50);  // a new period starts afresh
  EXPECT_EQ(schedule.nextDue(), 250);

  schedule.update(*form->slow, 0);
  schedule.forget(*form);
  EXPECT_TRUE(schedule.empty());
}

}  // namespace
