#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/game_fixture.h"

namespace {

using testing_support::errorOf;
using testing_support::Value;

class AboutWindow : public testing_support::GameFixture {
 protected:
  // A press and a release in the middle of the "About" bar.
  void clickBar() {
    const ui::PixelRect bar = f().aboutBar().pixelRect();
    driver.clickAt(f(), bar.x + bar.width / 2, bar.y + bar.height / 2);
  }
  void clickOK() { driver.click(about().okButton()); }
  bool aboutOpen() { return app.loadedForm(about::AboutWindow::kName) != nullptr; }
};

// A drag off the bar is no click. A game window closed while the About window
// is open takes its timers with it, and OK then revives no game: the last
// window gone, the program ends.
TEST_F(AboutWindow, OKWithTheGameClosedRevivesNoneAndTheProgramEnds) {
  const ui::PixelRect bar = f().aboutBar().pixelRect();
  ASSERT_EQ(f().hitTest(bar.x, bar.y - 1), nullptr);  // the ground just above the bar
  driver.drag(f(), bar.x, bar.y, bar.x, bar.y - 1);
  EXPECT_FALSE(aboutOpen());
  clickBar();
  arrange([&] { f().gameTimer().setInterval(1); });  // running, as no handler leaves it
  driver.close(f());
  EXPECT_FALSE(driver.exitStatus().has_value() || app.nextTick().has_value());
  clickOK();
  EXPECT_EQ(driver.exitStatus(), 0);
  EXPECT_FALSE(f().loaded());
}

// The launcher, with the About window open and the game paused behind it.
class Launcher : public AboutWindow {
 protected:
  void SetUp() override {
    AboutWindow::SetUp();
    clickBar();
  }
  void TearDown() override {
    ASSERT_NE(fake, nullptr) << "the About window did not open";
    EXPECT_EQ(fake->open, 0) << "a key was left open";
  }
  void sysInfo() { driver.click(about().systemInfoButton()); }
  // The one box the launcher shows, and what stays as it was.
  void expectUnavailable(std::size_t boxes = 1) {
    ASSERT_EQ(driver.boxes().size(), boxes);
    EXPECT_EQ(driver.boxes().back().prompt, about::AboutWindow::kUnavailable);
    EXPECT_TRUE(aboutOpen() && f().gameTimer().interval() == 0);
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
    EXPECT_EQ(errorOf([&] { found = about().readRegistryText(root, path, entry, text); }), c.error)
        << c.what;
    EXPECT_EQ(found, c.error == 0 && !c.text.empty()) << c.what;
    EXPECT_EQ(text, c.text) << c.what;
  }
}

// The tool's own entry is used as it stands, whatever it names; without one,
// the folder entry must hold the tool. Every failure ends in the one box.
TEST_F(Launcher, TheToolEntryIsUsedAsItStandsElseTheFolderMustHoldTheTool) {
  sysInfo();  // neither location
  expectUnavailable();
  fake->keys[about::kFolderKey][about::kFolderValue] = Value{.bytes = "C:\\Info"};
  fake->files = {"C:\\x", "C:\\Info"};
  sysInfo();
  expectUnavailable(2);
  fake->files.insert("C:\\Info\\MSINFO32.EXE");
  fake->keys[about::kToolKey][about::kToolValue] = Value{.type = 3, .bytes = "C:\\x"};
  sysInfo();
  expectUnavailable(3);
  fake->keys[about::kToolKey][about::kToolValue] = Value{.bytes = std::string("C:\\x\0", 4)};
  sysInfo();
  fake->keys[about::kToolKey].clear();
  sysInfo();
  EXPECT_EQ(fake->started, (std::vector<std::string>{"C:\\x", "C:\\Info\\MSINFO32.EXE"}));
}

}  // namespace
