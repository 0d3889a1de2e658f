#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/game_fixture.h"

namespace {

using namespace std::chrono_literals;
using testing_support::errorOf;
using testing_support::Value;

class AboutWindow : public testing_support::GameFixture {
 protected:
  // A press and a release in the middle of the "About" bar.
  void clickBar() {
    const ui::PixelRect bar = f().aboutBar().pixelRect();
    driver.clickAt(f(), bar.x + bar.width / 2, bar.y + bar.height / 2);
  }
  void clickOK() { driver.click(about().cmdOK()); }
  bool aboutOpen() { return app.loadedForm(about::FrmAbout::kName) != nullptr; }
  bool paused() {
    return f().gameTimer().interval() == 0 && f().secondTimer().interval() == 0 &&
           !driver.wakeTime().has_value();
  }
};

TEST_F(AboutWindow, TheBarPausesTheGameAndOKResumesItFromWhereItStopped) {
  ticks(9);
  clickBar();
  EXPECT_EQ(driver.activeForm(), &about());
  EXPECT_EQ(about().buttonsInTabOrder(),
            (std::vector<ui::CommandButton*>{&about().cmdOK(), &about().cmdSysInfo()}));
  EXPECT_EQ(about().caption(), "About vorel");
  EXPECT_TRUE(paused());
  EXPECT_TRUE(f().gameTimer().enabled() && f().secondTimer().enabled());
  driver.advance(1min);
  // A second click shows the same window, with no new load, and pauses again.
  arrange([&] {
    about().setCaption("marked");
    f().gameTimer().setInterval(1);
    f().secondTimer().setInterval(1);
  });
  clickBar();
  EXPECT_EQ(about().caption(), "marked");
  EXPECT_TRUE(paused());
  press('x');  // the game window still takes keys; the reach waits
  EXPECT_EQ(f().keyEcho().caption(), "120");
  press(32);
  clickOK();
  EXPECT_FALSE(aboutOpen());
  EXPECT_TRUE(f().gameTimer().interval() == 1 && f().secondTimer().interval() == 1);
  ticks(1);  // tick 10, nothing lost during the pause, with the reach fired in it
  EXPECT_EQ(left(0), home(0, 10));
  EXPECT_FALSE(visible(0));
}

TEST_F(AboutWindow, TheCloseBoxKeepsThePauseAndTheProgramEndsWithItsLastWindow) {
  ticks(3);
  clickBar();
  driver.close(about());
  EXPECT_FALSE(aboutOpen() || driver.isShown(about()));
  driver.advance(1min);
  EXPECT_TRUE(paused());
  clickBar();
  EXPECT_EQ(about().caption(), "About vorel");
  clickOK();
  ticks(1);
  EXPECT_EQ(left(0), home(0, 4));
  clickBar();
  arrange([&] { f().gameTimer().setInterval(1); });  // running, as no handler leaves it
  driver.close(f());  // the About window keeps the program going; the game's timers go
  EXPECT_FALSE(driver.exitStatus().has_value());
  EXPECT_FALSE(app.nextTick().has_value());
  clickOK();  // no game to resume, and none revived: the last window is gone
  EXPECT_EQ(driver.exitStatus(), 0);
  EXPECT_FALSE(f().loaded());
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(AboutWindow, ThePlaceOfAClickIsTheControlPressedAndReleased) {
  const ui::PixelRect bar = f().aboutBar().pixelRect();
  const int x = bar.x + 1;
  ASSERT_EQ(f().hitTest(x, bar.y - 1), nullptr);  // the ground just above the bar
  driver.drag(f(), x, bar.y, x, bar.y - 1);
  driver.clickAt(f(), x, bar.y - 1);
  arrange([&] { f().aboutBar().setVisible(false); });
  clickBar();
  EXPECT_FALSE(aboutOpen());
}

// The launcher, with the About window open and the game paused behind it.
class Launcher : public AboutWindow {
 protected:
  void SetUp() override {
    AboutWindow::SetUp();
    clickBar();
  }
  void TearDown() override { EXPECT_EQ(fake->open, 0) << "a key was left open"; }
  void sysInfo() { driver.click(about().cmdSysInfo()); }
  // The one box the launcher shows, and what stays as it was.
  void expectUnavailable(std::size_t boxes = 1) {
    ASSERT_EQ(driver.boxes().size(), boxes);
    EXPECT_EQ(driver.boxes().back().prompt, about::FrmAbout::kUnavailable);
    EXPECT_EQ(driver.boxes().back().title, "vorel");
    EXPECT_TRUE(aboutOpen() && paused());
  }
};

TEST_F(Launcher, AValueIsReadAsItsBytesAndCountSay) {
  struct Case {
    const char* what;
    std::optional<Value> value;
    int error;         // raised, or 0
    std::string text;  // KeyVal after the read, "before" it; found when not empty
  };
  const std::string x1023(1023, 'x');
  const std::vector<Case> cases{
      {"a trailing terminator", Value{.bytes = std::string("C:\\a\0", 5)}, 0, "C:\\a"},
      {"no terminator", Value{.bytes = "C:\\a"}, 0, "C:\\a"},
      {"two terminators", Value{.bytes = std::string("ab\0\0", 4)}, 0, {"ab\0", 3}},
      {"1024 bytes", Value{.bytes = x1023 + "y"}, 0, x1023 + "y"},
      {"1025 bytes", Value{.bytes = x1023 + "yz"}, 0, ""},
      {"no key", std::nullopt, 0, ""},
      {"size 0", Value{.bytes = ""}, 5, "before"},
      {"another type", Value{.type = 3, .bytes = "xyz"}, 0, "before"},
      {"a number", Value{.type = about::kNumber, .bytes = "\x04\x03\x02\x01"}, 0, "16909060"},
      {"a short number", Value{.type = about::kNumber, .bytes = "\x05\x01"}, 0, "261"},
      {"a count past the buffer", Value{.bytes = "C:\\a", .reported = 1025}, 5, "before"},
  };
  for (const auto& c : cases) {
    fake->keys.clear();
    if (c.value) {
      fake->keys["K"]["V"] = *c.value;
    }
    about::RegistryKey root = about::kLocalMachine;
    std::string path = "K";
    std::string entry = "V";
    std::string text = "before";
    bool found = false;
    EXPECT_EQ(errorOf([&] { found = about().GetKeyValue(root, path, entry, text); }), c.error)
        << c.what;
    EXPECT_EQ(found, c.error == 0 && !c.text.empty()) << c.what;
    EXPECT_EQ(text, c.text) << c.what;
  }
}

TEST_F(Launcher, AnAnswerAtTheFirstLocationIsUsedAsItStands) {
  fake->keys[about::kFolderKey][about::kFolderValue] = Value{.bytes = "C:\\Info"};
  fake->files = {"C:\\Info\\MSINFO32.EXE", "C:\\x"};
  std::size_t boxes = 0;
  for (const Value& first : {Value{.bytes = "C:\\missing.exe"}, Value{.bytes = ""},
                             Value{.type = 3, .bytes = "C:\\x"}}) {
    fake->keys[about::kToolKey][about::kToolValue] = first;
    sysInfo();
    expectUnavailable(++boxes);
  }
  fake->keys[about::kToolKey][about::kToolValue] = Value{.bytes = std::string("C:\\x\0", 4)};
  sysInfo();
  EXPECT_EQ(fake->started, (std::vector<std::string>{"C:\\x"}));
  EXPECT_EQ(driver.boxes().size(), boxes);
}

TEST_F(Launcher, TheSecondLocationIsAFolderThatMustHoldTheToolAndFailuresGiveTheBox) {
  sysInfo();  // neither location
  expectUnavailable();
  fake->keys[about::kToolKey]["OTHER"] = Value{.bytes = "C:\\x"};
  fake->keys[about::kFolderKey][about::kFolderValue] = Value{.bytes = "C:\\Info"};
  fake->files = {"C:\\x", "C:\\Info"};
  sysInfo();
  expectUnavailable(2);
  fake->files.insert("C:\\Info\\MSINFO32.EXE");
  sysInfo();
  EXPECT_EQ(fake->started, (std::vector<std::string>{"C:\\Info\\MSINFO32.EXE"}));
  fake->unbound = true;  // a services call that raises ends in the box, not the error report
  sysInfo();
  expectUnavailable(3);
  EXPECT_EQ(fake->started.size(), 1U);
}

}  // namespace
