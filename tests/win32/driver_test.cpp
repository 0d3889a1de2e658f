#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "win32_fixture.h"

namespace {

using win32_testing::BoxAnswerer;
using win32_testing::DriverTest;
using win32_testing::User;

constexpr std::array<std::uint32_t, 4> kRedPixels{0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
const ui::Picture kRed{"red", 2, 2, kRedPixels};

// 100 x 60 pixels: an image at (10, 10), a hidden one at (60, 10), a label
// along the bottom, and two timers.
const ui::FormDesign kPlain{.caption = "Plain", .clientWidth = 1500, .clientHeight = 900};
const ui::TimerDesign kFirstTimer{.name = "T1", .interval = 1, .enabled = true};
const ui::TimerDesign kSecondTimer{.name = "T2", .interval = 1, .enabled = true};
const ui::ImageDesign kShown{
    .name = "shown", .box = {150, 150, 300, 300}, .picture = &kRed, .stretch = true};
const ui::ImageDesign kHidden{.name = "hidden",
                              .box = {900, 150, 300, 300},
                              .visible = false,
                              .picture = &kRed,
                              .stretch = true};
const ui::LabelDesign kBar{.name = "bar", .box = {0, 600, 1500, 300}, .caption = "bar"};

// A window whose handlers record what reaches them, or do what the test says.
class PlainForm final : public ui::Form {
 public:
  explicit PlainForm(ui::Application& app) : ui::Form(app, "Plain", kPlain) {}

  std::vector<std::int16_t> keys;
  std::vector<std::string> clicks;
  std::atomic<int> firstTicks{0};
  std::atomic<int> secondTicks{0};
  std::function<void()> onFirstTick;
  std::function<void()> onSecondTick;
  std::function<void()> onKey;

  ui::Timer* first = nullptr;
  ui::Timer* second = nullptr;

 private:
  void build() override {
    first = &add<ui::Timer>(kFirstTimer);
    second = &add<ui::Timer>(kSecondTimer);
    add<ui::Image>(kShown);
    add<ui::Image>(kHidden);
    add<ui::Label>(kBar);
  }
  void onKeyPress(std::int16_t code) override {
    keys.push_back(code);
    if (onKey) {
      onKey();
    }
  }
  void onClick(ui::Control& control) override { clicks.emplace_back(control.name()); }
  void onTick(ui::Timer& timer) override {
    const bool isSecond = &timer == second;
    ++(isSecond ? secondTicks : firstTicks);
    if (const std::function<void()>& handler = isSecond ? onSecondTick : onFirstTick) {
      handler();
    }
  }
};

const ui::FormDesign kDialog{.caption = "Dialog",
                             .clientWidth = 4500,
                             .clientHeight = 1500,
                             .border = ui::BorderStyle::FixedDialog};
const ui::ButtonDesign kOk{.name = "ok",
                           .box = {150, 900, 1200, 375},
                           .caption = "OK",
                           .tabIndex = 0,
                           .isDefault = true,
                           .isCancel = true};
const ui::ButtonDesign kThird{
    .name = "third", .box = {3000, 900, 1200, 375}, .caption = "&Third", .tabIndex = 2};
const ui::ButtonDesign kSecond{
    .name = "second", .box = {1500, 900, 1200, 375}, .caption = "&Second", .tabIndex = 1};

class DialogForm final : public ui::Form {
 public:
  explicit DialogForm(ui::Application& app) : ui::Form(app, "Dialog", kDialog) {}
  std::vector<std::string> clicks;
  std::vector<std::int16_t> keys;

 private:
  void build() override {
    add<ui::CommandButton>(kOk);
    add<ui::CommandButton>(kThird);  // designed before the second, tabbed after it
    add<ui::CommandButton>(kSecond);
  }
  void onClick(ui::Control& control) override { clicks.emplace_back(control.name()); }
  void onKeyPress(std::int16_t code) override { keys.push_back(code); }
};

class Win32Driver : public DriverTest {
 protected:
  Win32Driver() {
    app.registerForm("Plain", [](ui::Application& a) { return std::make_unique<PlainForm>(a); });
    app.registerForm("Dialog", [](ui::Application& a) { return std::make_unique<DialogForm>(a); });
  }
  PlainForm& plain() { return app.form<PlainForm>("Plain"); }
  DialogForm& dialog() { return app.form<DialogForm>("Dialog"); }
  HWND plainWindow() { return driver.windowOf(plain()); }
};

TEST_F(Win32Driver, TypedCharactersArriveAsSignedCodeUnits) {
  ASSERT_TRUE(app.start("Plain"));
  for (const WPARAM unit : {0x20, 0x41, 0x0645, 0xE000, 0xFFFF}) {
    ::PostMessageW(plainWindow(), WM_CHAR, unit, 1);
  }
  ASSERT_TRUE(runUntil([&] { return plain().keys.size() == 5; }));
  EXPECT_EQ(plain().keys, (std::vector<std::int16_t>{32, 65, 0x0645, -8192, -1}));
}

TEST_F(Win32Driver, ClicksReachTheVisibleControlUnderTheMouseOnly) {
  ASSERT_TRUE(app.start("Plain"));
  click(plainWindow(), 65, 15);  // the hidden image
  click(plainWindow(), 50, 5);   // the ground
  click(plainWindow(), 12, 12);  // the image
  click(plainWindow(), 50, 50);  // the label
  // Pressed on the image, released on the label: no click at all.
  ::PostMessageW(plainWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
  ::PostMessageW(plainWindow(), WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
  click(plainWindow(), 99, 59);  // the label's last pixel
  ASSERT_TRUE(runUntil([&] { return plain().clicks.size() >= 3; }));
  EXPECT_EQ(plain().clicks, (std::vector<std::string>{"shown", "bar", "bar"}));
}

TEST_F(Win32Driver, OnlyRunningTimersAreScheduled) {
  ASSERT_TRUE(app.start("Plain"));
  ui::Timer& first = *plain().first;
  ui::Timer& second = *plain().second;
  EXPECT_TRUE(driver.scheduled(first));
  ASSERT_TRUE(runUntil([&] { return plain().firstTicks >= 3 && plain().secondTicks >= 3; }));

  app.dispatch([&] { first.setInterval(0); });
  app.dispatch([&] { second.setEnabled(false); });
  EXPECT_FALSE(driver.anyScheduled());  // the loop now sleeps until a message comes

  app.dispatch([&] { second.setEnabled(true); });
  EXPECT_TRUE(driver.scheduled(second));
  EXPECT_FALSE(driver.scheduled(first));
  const int before = plain().secondTicks;
  ASSERT_TRUE(runUntil([&] { return plain().secondTicks >= before + 2; }));

  app.dispatch([&] { first.setInterval(1000); });
  EXPECT_TRUE(driver.scheduled(first));
}

// The first tick opens a box nobody answers; the second timer goes on ticking
// under it, and ends the program, box and all.
TEST_F(Win32Driver, TicksGoOnUnderABoxAndTheEndClosesIt) {
  PlainForm& form = plain();
  bool afterBox = false;
  form.onFirstTick = [&] {
    form.first->setEnabled(false);
    app.msgBox("never answered");
    afterBox = true;
  };
  form.onSecondTick = [&] {
    if (form.firstTicks == 1 && form.secondTicks >= 5) {
      app.end();
    }
  };
  ASSERT_TRUE(app.start("Plain"));
  HWND window = plainWindow();
  EXPECT_EQ(driver.exec(), 0);
  EXPECT_FALSE(afterBox);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(win32_testing::findWindow({.process = ::GetCurrentProcessId(), .className = L"#32770"}),
            nullptr);
}

TEST_F(Win32Driver, AnUntrappedErrorIsReportedThenTheProgramEndsWithStatusOne) {
  plain().onKey = [] { throw ui::Error(ui::ErrorNumber::Overflow); };
  const BoxAnswerer answerer;
  ASSERT_TRUE(app.start("Plain"));
  ::PostMessageW(plainWindow(), WM_CHAR, 'x', 1);
  EXPECT_EQ(driver.exec(), 1);
  ASSERT_EQ(answerer.boxes().size(), 1U);
  EXPECT_EQ(answerer.boxes()[0].title, L"vorel");
  EXPECT_EQ(answerer.boxes()[0].text, L"Error 6: Overflow");
  EXPECT_EQ(plain().keys, (std::vector<std::int16_t>{'x'}));
  EXPECT_FALSE(plain().loaded());
}

TEST_F(Win32Driver, ClosingOneWindowLeavesTheOtherAndTheEndFromATickClosesAll) {
  ASSERT_TRUE(app.start("Plain"));
  app.dispatch([&] { app.form("Dialog").show(); });
  ::PostMessageW(driver.windowOf(dialog()), WM_CLOSE, 0, 0);
  ASSERT_TRUE(runUntil([&] { return !dialog().loaded(); }));
  EXPECT_TRUE(plain().loaded());

  plain().onFirstTick = [&] { app.end(); };
  app.dispatch([&] { app.form("Dialog").show(); });
  HWND plainHandle = plainWindow();
  HWND dialogHandle = driver.windowOf(dialog());
  EXPECT_EQ(driver.exec(), 0);
  EXPECT_FALSE(::IsWindow(plainHandle));
  EXPECT_FALSE(::IsWindow(dialogHandle));
  EXPECT_FALSE(driver.anyScheduled());
}

TEST_F(Win32Driver, DialogKeysClickTheRightButton) {
  ASSERT_TRUE(app.start("Dialog"));
  HWND window = driver.windowOf(dialog());
  std::vector<std::string>& clicks = dialog().clicks;
  const auto after = [&](std::size_t count) {
    return runUntil([&] { return clicks.size() >= count; });
  };
  ASSERT_TRUE(runUntil([&] { return ::GetActiveWindow() == window; }));

  User::press(VK_RETURN);  // the first button has the focus
  ASSERT_TRUE(after(1));
  User::press(VK_TAB);
  User::press(VK_RETURN);  // now the second one
  ASSERT_TRUE(after(2));
  User::press(VK_SPACE);
  ASSERT_TRUE(after(3));
  User::press(VK_ESCAPE);  // the cancel button, wherever the focus is
  ASSERT_TRUE(after(4));
  User::chord(VK_MENU, 'T');
  ASSERT_TRUE(after(5));
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "second", "second", "ok", "third"}));
  EXPECT_TRUE(dialog().keys.empty());  // keys in a window with buttons go to the buttons
}

}  // namespace
