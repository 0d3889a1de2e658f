#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <new>

#include "support/game_fixture.h"
#include "ui/text.h"
#include "ui/tick_schedule.h"
#include "ui/twips.h"

namespace {

using namespace std::chrono_literals;
using testing_support::errorOf;
using Model = testing_support::GameFixture;

// A refused operation raises and changes nothing.
TEST_F(Model, ControlsRefuseWhatTheyCannotBeAndStayAsTheyWere) {
  ui::ImageArray& column = f().enemyColumn();
  EXPECT_NE(errorOf([&] { column.load(5); }), 0);
  EXPECT_NE(errorOf([&] { (void)column(120); }), 0);
  EXPECT_NE(errorOf([&] { (void)column(-1); }), 0);
  EXPECT_FALSE(column.load(-7).visible());
  EXPECT_EQ(column.count(), 121U);
  EXPECT_NE(errorOf([&] { f().gameTimer().setInterval(-1); }), 0);
  EXPECT_EQ(f().gameTimer().interval(), 1);
}

TEST_F(Model, TheTickScheduleKeepsItsBeatAndSkipsWhatAStallMissed) {
  ui::TickSchedule schedule;
  ui::Timer& timer = f().gameTimer();  // every 55 ms
  schedule.update(timer, 0ms);
  EXPECT_EQ(schedule.takeDue(54ms), nullptr);
  EXPECT_EQ(schedule.takeDue(110ms), &timer);  // a period late
  EXPECT_EQ(schedule.takeDue(110ms), nullptr);
  EXPECT_EQ(schedule.nextDue(), 165ms);
  EXPECT_EQ(schedule.takeDue(1000ms), &timer);  // a stall: one tick, not sixteen
  EXPECT_EQ(schedule.takeDue(1000ms), nullptr);
  EXPECT_EQ(schedule.takeDue(1045ms), &timer);
  timer.setInterval(100);  // a new period starts from the change
  schedule.update(timer, 1050ms);
  EXPECT_EQ(schedule.takeDue(1150ms), &timer);
  EXPECT_EQ(schedule.nextDue(), 1250ms);
}

TEST_F(Model, ARepaintCoversWhatMovedAndNothingElse) {
  (void)driver.takeRepaints(f());
  for (int change = 0; change < 3; ++change) {  // two moves, then hiding
    const ui::PixelRect before = l(0).pixelRect();
    arrange([&] {
      l(0).setLeft(left(0) - (change < 2 ? 150.0F : 0.0F));
      l(0).setVisible(change < 2);
    });
    const ui::PixelRect moved = before.united(l(0).pixelRect());
    const auto drawn = driver.takeRepaints(f());
    EXPECT_TRUE(drawn.size() == 1 && drawn[0].intersected(moved) == moved) << change;
  }
}

TEST(Conversions, RaiseTypeMismatchAndOverflowAndTellRightToLeftText) {
  EXPECT_EQ(ui::toInt16(" +7 "), 7);
  EXPECT_EQ(ui::toInt16("-32768"), -32768);
  EXPECT_EQ(ui::toInt16("32767"), 32767);
  for (const char* text : {"", " ", "-", "1e3", "12a", "0x10", "1 2"}) {
    EXPECT_EQ(errorOf([&] { (void)ui::toInt16(text); }), 13) << text;
  }
  for (const char* text : {"32768", "-32769", "99999999999"}) {
    EXPECT_EQ(errorOf([&] { (void)ui::toInt16(text); }), 6) << text;
  }
  EXPECT_EQ(errorOf([] { (void)ui::offset(3.0e38F, 3.0e38); }), 6);
  // What the drivers lay out right to left: a first letter with a direction that is RTL.
  EXPECT_TRUE(ui::isRightToLeft("لقد خسرة"));
  EXPECT_TRUE(ui::isRightToLeft("12: \uFEFB"));  // digits decide nothing; a presentation form
  EXPECT_FALSE(ui::isRightToLeft("G: لقد"));     // the first letter decides
  EXPECT_FALSE(ui::isRightToLeft("12"));
}

// A window that opens a box on key 1, runs out of memory on key 2, ends the program on
// other keys, then notes that it went on: after the end, or an error, inside an
// open box, neither the handler inside nor the one that opened the box goes on.
const ui::FormDesign kProbe{.caption = "Probe"};
class Probe final : public ui::Form {
 public:
  Probe(ui::Application& app, bool& after) : ui::Form(app, "Probe", kProbe), after_(after) {}

 private:
  void build() override {}
  void onKeyPress(std::int16_t code) override {
    if (code == 2) {
      throw std::bad_alloc();
    }
    code == 1 ? app().msgBox("box") : app().end();
    after_ = true;
  }
  bool& after_;
};

// A start-up that fails before any window stands is reported in a box of no window.
TEST(Ending, AFailedStartIsReportedInABoxOfNoWindow) {
  ui::headless::HeadlessDriver driver;
  ui::Application app(driver, "vorel");
  EXPECT_FALSE(app.start("Nowhere"));
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.boxes()[0].owner, nullptr);
  EXPECT_EQ(driver.exitStatus(), 1);
}

TEST(Ending, NothingRunsAfterTheEndOrAnErrorInsideABox) {
  for (const int inside : {0, 2}) {
    ui::headless::HeadlessDriver driver;
    ui::Application app(driver, "vorel");
    bool after = false;
    app.registerForm("Probe",
                     [&](ui::Application& a) { return std::make_unique<Probe>(a, after); });
    ASSERT_TRUE(app.start("Probe"));
    ui::Form& probe = app.form("Probe");
    driver.answerBoxesWith([&](const auto& box) {
      if (box.prompt == "box") {
        driver.pressKey(probe, static_cast<std::int16_t>(inside));
      }
    });
    driver.pressKey(probe, 1);
    EXPECT_FALSE(after) << inside;
    EXPECT_EQ(driver.exitStatus(), inside == 0 ? 0 : 1);
    EXPECT_EQ(driver.boxes().back().prompt, inside == 0 ? "box" : "Error 7: Out of memory");
    EXPECT_FALSE(probe.loaded());
  }
}

// Each size a window system asks for gets the smallest image that covers it,
// else the largest; an image without its pixels is never chosen.
TEST(Icon, EachSizeGetsTheSmallestImageThatCoversIt) {
  const std::uint32_t pixels[48 * 48] = {};
  const ui::Picture large{"large", 48, 48, pixels};
  const ui::Picture medium{"medium", 32, 32, pixels};
  const ui::Picture empty{"empty", 24, 24, {}};
  const ui::Picture small{"small", 16, 16, pixels};
  const ui::Picture* const images[] = {&large, &medium, &empty, &small};
  const ui::Icon icon{images};
  const struct {
    int size;
    const ui::Picture* shown;
  } cases[] = {{1, &small},   {16, &small}, {17, &medium}, {24, &medium},
               {32, &medium}, {33, &large}, {48, &large},  {49, &large}};
  for (const auto& [size, shown] : cases) {
    EXPECT_EQ(icon.imageFor(size), shown) << size;
  }
  const ui::Picture* const none[] = {&empty};
  EXPECT_EQ(ui::Icon{none}.imageFor(16), nullptr);
}

}  // namespace
