#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/errors.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/headless/headless_driver.h"
#include "ui/twips.h"

namespace {

using testing_support::errorNumberOf;

using namespace std::chrono_literals;
using ui::headless::HeadlessDriver;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::array<std::uint32_t, 4> kPixels{kRed, kRed, kRed, kRed};
const ui::Picture kPicture{"red", 2, 2, kPixels};

const ui::FormDesign kDesign{.caption = "Test", .clientWidth = 1500, .clientHeight = 600};
const ui::TimerDesign kTimer{.name = "T", .interval = 1, .enabled = true};
const ui::LabelDesign kLabel{.name = "L", .box = {0, 300, 1500, 300}, .caption = "0"};
const ui::ImageDesign kArray{
    .name = "a", .box = {150, 30, 30, 30}, .visible = true, .picture = &kPicture};

// A window whose handlers are whatever the test puts in.
class TestForm final : public ui::Form {
 public:
  explicit TestForm(ui::Application& app) : ui::Form(app, "Test", kDesign) {}

  std::function<void(ui::Timer&)> tick;
  std::function<void(std::int16_t)> key;

  ui::Timer* timer = nullptr;
  ui::Label* label = nullptr;
  ui::ImageArray* array = nullptr;

 private:
  void build() override {
    timer = &add<ui::Timer>(kTimer);
    label = &add<ui::Label>(kLabel);
    array = &addArray(kArray);
  }
  void onTick(ui::Timer& t) override {
    if (tick) {
      tick(t);
    }
  }
  void onKeyPress(std::int16_t code) override {
    if (key) {
      key(code);
    }
  }
};

class Model : public ::testing::Test {
 protected:
  Model() {
    app.registerForm("Test", [](ui::Application& a) { return std::make_unique<TestForm>(a); });
  }
  TestForm& form() { return app.form<TestForm>("Test"); }

  HeadlessDriver driver;
  ui::Application app{driver, "vorel"};
};

TEST_F(Model, ArrayElementsAreHiddenCopiesOfElementZero) {
  ASSERT_TRUE(app.start("Test"));
  ui::ImageArray& a = *form().array;
  ui::Image& zero = a(0);
  zero.setLeft(ui::offset(zero.left(), 15));

  ui::Image& copy = a.load(7);
  EXPECT_FALSE(copy.visible());
  EXPECT_EQ(copy.index(), 7);
  EXPECT_EQ(copy.left(), 165.0F);  // as element 0 stands now, not as designed
  EXPECT_EQ(copy.picture(), zero.picture());
  EXPECT_EQ(&a(7), &copy);

  ui::Image& negative = a.load(-32768);
  EXPECT_EQ(&a(-32768), &negative);
  EXPECT_EQ(a.count(), 3U);

  EXPECT_EQ(errorNumberOf([&] { a.load(7); }), 360);
  EXPECT_EQ(errorNumberOf([&] { a.load(0); }), 360);
  EXPECT_EQ(errorNumberOf([&] { (void)a(6); }), 340);
  EXPECT_EQ(errorNumberOf([&] { (void)a(32767); }), 340);
  EXPECT_EQ(a.count(), 3U);

  // Index order is drawing order.
  std::vector<int> order;
  a.forEach([&](const ui::Image& image) { order.push_back(image.index()); });
  EXPECT_EQ(order, (std::vector<int>{-32768, 0, 7}));
}

TEST_F(Model, TimersTickAtTheShortestPeriodOnlyWhileEnabledWithAnInterval) {
  int ticks = 0;
  form().tick = [&](ui::Timer&) { ++ticks; };
  ASSERT_TRUE(app.start("Test"));
  ui::Timer& t = *form().timer;

  driver.advance(54ms);
  EXPECT_EQ(ticks, 0);
  driver.advance(1ms);
  EXPECT_EQ(ticks, 1);  // Interval 1 asks for 1 ms and gets 55
  driver.advance(550ms);
  EXPECT_EQ(ticks, 11);
  // Interval 0 and Enabled off are the game's pause and stop, tested there.
  app.dispatch([&] {
    t.setEnabled(false);
    t.setEnabled(true);
    t.setInterval(100);
  });
  driver.advance(99ms);
  EXPECT_EQ(ticks, 11);
  driver.advance(1ms);
  EXPECT_EQ(ticks, 12);
  EXPECT_EQ(errorNumberOf([&] { t.setInterval(-1); }), 5);
}

TEST_F(Model, AnEscapedErrorIsReportedOnceOverWhatItLeftAndEndsWithStatusOne) {
  std::string seen;
  int ticks = 0;
  int keys = 0;
  form().key = [&](std::int16_t) {
    ++keys;
    form().label->setCaption("changed");
    (void)ui::offset(3.0e38F, 3.0e38);  // overflows single precision
    form().label->setCaption("never");
  };
  form().tick = [&](ui::Timer&) { ++ticks; };
  driver.answerBoxesWith([&](const HeadlessDriver::Box&) {
    seen = form().label->caption();
    // While the report is open the program handles nothing more: no tick, and
    // no second failing key with a second report.
    driver.advance(1s);
    driver.pressKey(form(), 66);
  });
  ASSERT_TRUE(app.start("Test"));
  driver.pressKey(form(), 65);

  EXPECT_EQ(seen, "changed");
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.boxes()[0].prompt, "Error 6: Overflow");
  EXPECT_EQ(driver.boxes()[0].title, "vorel");
  EXPECT_EQ(driver.exitStatus(), 1);
  EXPECT_EQ(app.exitStatus(), 1);
  driver.advance(1s);
  driver.pressKey(form(), 65);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(keys, 1);
  EXPECT_EQ(driver.boxes().size(), 1U);
}

TEST_F(Model, TheProgramWideEndRunsNothingAfterIt) {
  int ticks = 0;
  bool after = false;
  form().key = [&](std::int16_t) {
    app.end();
    after = true;  // must not run
  };
  form().tick = [&](ui::Timer&) { ++ticks; };
  ASSERT_TRUE(app.start("Test"));
  driver.pressKey(form(), 32);
  EXPECT_FALSE(after);
  EXPECT_EQ(driver.exitStatus(), 0);
  EXPECT_FALSE(form().loaded());
  driver.advance(1s);
  driver.pressKey(form(), 32);
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(Model, AnErrorInsideAnOpenBoxAlsoEndsTheHandlerThatOpenedIt) {
  bool after = false;
  form().key = [&](std::int16_t code) {
    if (code == 1) {
      app.msgBox("first");
      after = true;  // the program has ended while the box was open
    } else {
      throw ui::Error(ui::ErrorNumber::Overflow);
    }
  };
  driver.answerBoxesWith([&](const HeadlessDriver::Box& box) {
    if (box.prompt == "first") {
      driver.pressKey(form(), 2);
    }
  });
  ASSERT_TRUE(app.start("Test"));
  driver.pressKey(form(), 1);
  EXPECT_FALSE(after);
  ASSERT_EQ(driver.boxes().size(), 2U);
  EXPECT_EQ(driver.boxes()[1].prompt, "Error 6: Overflow");
  EXPECT_EQ(driver.exitStatus(), 1);
}

TEST_F(Model, OnlyWhatChangesInsideTheWindowIsRepainted) {
  ASSERT_TRUE(app.start("Test"));  // a client area of 100 x 40 pixels
  (void)driver.takeRepaints(form());
  ui::Image& zero = (*form().array)(0);
  ui::Image& far = form().array->load(1);
  app.dispatch([&] {
    far.setVisible(true);
    far.setLeft(3000);  // pixel 200: beyond the right edge
    far.setLeft(3015);
  });
  EXPECT_TRUE(driver.takeRepaints(form()).empty());
  // A shot's way: shown, moved and hidden again within one handler.
  app.dispatch([&] {
    zero.setLeft(300);
    zero.setVisible(false);
    zero.setVisible(true);
    zero.setLeft(150);
  });
  EXPECT_TRUE(driver.takeRepaints(form()).empty());
  // An enlarged window takes in what lies beyond the design's edge.
  form().setViewSize(300, 40);
  app.dispatch([&] { far.setLeft(2985); });
  EXPECT_EQ(driver.takeRepaints(form()), (std::vector<ui::PixelRect>{{199, 2, 4, 2}}));
}

}  // namespace
