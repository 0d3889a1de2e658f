#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_fixture.h"

namespace {

using testing_support::GameFixture;
using Value = about::MemoryRegistry::Value;

constexpr const char* kToolKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
constexpr const char* kFolderKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";
constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

std::vector<std::uint8_t> bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class Launcher : public GameFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.start(game::Form1::kName));
    driver.click(game().Label1());
  }

  about::MemoryRegistry& registry() { return fakes().registry; }

  // GetKeyValue on one planted value, as the launcher calls it.
  std::pair<bool, std::string> read(const Value& value, std::string before = "untouched") {
    registry().plant(about::kLocalMachine, "K", "V", value);
    about::RegistryKey root = about::kLocalMachine;
    std::string keyName = "K";
    std::string subKey = "V";
    const bool found = about().GetKeyValue(root, keyName, subKey, before);
    EXPECT_EQ(registry().openHandles(), 0U) << "the key was left open";
    return {found, before};
  }

  void sysInfo() { driver.click(about().cmdSysInfo()); }
  [[nodiscard]] bool boxShownOnce() const {
    return driver.boxes().size() == 1 && driver.boxes()[0].prompt == kUnavailable &&
           driver.boxes()[0].title == "vorel";
  }
};

TEST_F(Launcher, NumbersGiveTheirDecimalDigitsAndOtherTypesLeaveTheText) {
  EXPECT_EQ(read({.type = about::kNumber, .bytes = {0x04, 0x03, 0x02, 0x01}}),
            std::pair(true, std::string("16909060")));
  // A top byte of 0 is cut as a terminator would be; the number is the same.
  EXPECT_EQ(read({.type = about::kNumber, .bytes = {0x05, 0x01, 0, 0}}),
            std::pair(true, std::string("261")));
  EXPECT_EQ(read({.type = 3, .bytes = bytes("xyz")}), std::pair(true, std::string("untouched")));
}

TEST_F(Launcher, KeysAreOpenedForReadingOnlySoProtectedKeysStillAnswer) {
  registry().plantKey(about::kLocalMachine, kToolKey, /*writeProtected=*/true);
  registry().plantString(about::kLocalMachine, kToolKey, "PATH", "C:\\tools\\info.exe");
  fakes().files.insert("C:\\tools\\info.exe");
  sysInfo();
  EXPECT_EQ(fakes().started, (std::vector<std::string>{"C:\\tools\\info.exe"}));
  EXPECT_TRUE(driver.boxes().empty());
  for (const auto access : registry().accessAsked()) {
    EXPECT_EQ(access, 0x20019U);
  }
}

// Whatever the first location holds, if it answers at all the second one is
// never asked, though it names a folder that holds the tool.
TEST_F(Launcher, AnAnswerAtTheFirstLocationIsUsedAsItStands) {
  struct Case {
    const char* what;
    Value value;
  };
  const std::vector<Case> cases{
      {"a program that does not exist",
       {.type = about::kString, .bytes = bytes("C:\\Program Files\\info.exe")}},
      {"size 0", {.type = about::kString, .bytes = {}}},
      {"another type, naming a file that exists", {.type = 3, .bytes = bytes("C:\\x")}},
  };
  registry().plantString(about::kLocalMachine, kFolderKey, "MSINFO", "C:\\other");
  fakes().files.insert("C:\\other\\MSINFO32.EXE");
  fakes().files.insert("C:\\x");
  for (const auto& c : cases) {
    registry().plant(about::kLocalMachine, kToolKey, "PATH", c.value);
    const std::size_t boxes = driver.boxes().size();
    const std::size_t asked = registry().keysAsked().size();
    sysInfo();
    ASSERT_EQ(driver.boxes().size(), boxes + 1) << c.what;
    EXPECT_EQ(driver.boxes().back().prompt, kUnavailable) << c.what;
    EXPECT_EQ(registry().keysAsked().size(), asked + 1) << c.what;
    EXPECT_EQ(registry().keysAsked().back(), kToolKey) << c.what;
  }
  EXPECT_TRUE(fakes().started.empty());
  EXPECT_EQ(registry().openHandles(), 0U);
  EXPECT_TRUE(about().loaded());
}

TEST_F(Launcher, AValueOver1024BytesCountsAsNotFound) {
  registry().plantString(about::kLocalMachine, kToolKey, "PATH", std::string(1024, 'x'));
  registry().plantString(about::kLocalMachine, kFolderKey, "MSINFO", "C:\\tools");
  fakes().files.insert("C:\\tools\\MSINFO32.EXE");
  sysInfo();
  EXPECT_EQ(fakes().started, (std::vector<std::string>{"C:\\tools\\MSINFO32.EXE"}));
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(Launcher, TheSecondLocationNamesTheFolderThatMustHoldTheTool) {
  registry().plantString(about::kLocalMachine, kFolderKey, "MSINFO", "C:\\Common Files\\Info");
  sysInfo();
  EXPECT_TRUE(boxShownOnce());  // the folder does not hold it
  EXPECT_EQ(fakes().checked, (std::vector<std::string>{"C:\\Common Files\\Info\\MSINFO32.EXE"}));

  fakes().files.insert(R"(C:\Common Files\Info\MSINFO32.EXE)");
  sysInfo();
  EXPECT_EQ(fakes().started, (std::vector<std::string>{"C:\\Common Files\\Info\\MSINFO32.EXE"}));
  EXPECT_EQ(driver.boxes().size(), 1U);
}

TEST_F(Launcher, HiddenToolsDoNotCountAndFailuresOnTheWayGiveTheBox) {
  registry().plantString(about::kLocalMachine, kFolderKey, "MSINFO", "C:\\tools");
  fakes().hidden.insert("C:\\tools\\MSINFO32.EXE");
  sysInfo();
  EXPECT_EQ(driver.boxes().size(), 1U);

  fakes().files.insert("C:\\tools\\MSINFO32.EXE");
  fakes().checkFails = true;
  sysInfo();
  EXPECT_EQ(driver.boxes().size(), 2U);
  EXPECT_TRUE(fakes().started.empty());
}

TEST_F(Launcher, NeitherLocationGivesTheBoxAndTheAboutWindowStays) {
  sysInfo();
  EXPECT_TRUE(boxShownOnce());
  EXPECT_EQ(registry().keysAsked(), (std::vector<std::string>{kToolKey, kFolderKey}));
  EXPECT_TRUE(about().loaded());
  EXPECT_EQ(game().Timer1().interval(), 0);
  EXPECT_FALSE(app.exitStatus().has_value());
}

// Of n bytes read, the byte at n-1 is cut when it is a terminator, and only
// it. Registry contents no well-behaved installer writes are read just as
// they stand.
TEST_F(Launcher, StringsAreReadAsTheirBytesSayHostileOnesIncluded) {
  struct Case {
    const char* what;
    Value value;
    std::string expected;  // the path read, "" for "not found"
  };
  const std::string full1023(1023, 'a');
  const std::vector<Case> cases{
      {"a trailing terminator",
       {.type = about::kString, .bytes = bytes(std::string("C:\\a.exe\0", 9))},
       "C:\\a.exe"},
      {"no terminator", {.type = about::kString, .bytes = bytes("C:\\a.exe")}, "C:\\a.exe"},
      {"embedded terminators",
       {.type = about::kString, .bytes = bytes(std::string("C:\\a\0b\0", 7))},
       std::string("C:\\a\0b", 6)},
      {"1024 bytes, no terminator",
       {.type = about::kString, .bytes = bytes(full1023 + "b")},
       full1023 + "b"},
      {"1025 bytes", {.type = about::kString, .bytes = bytes(full1023 + "bc")}, ""},
      {"non-ASCII bytes",
       {.type = about::kString, .bytes = bytes("C:\\\xC9t\xE9\\\xFF\xFE.exe\0")},
       "C:\\\xC9t\xE9\\\xFF\xFE.exe"},
      {"quotes and metacharacters",
       {.type = about::kString, .bytes = bytes("\"C:\\a b\" & calc.exe | x; $(y)\0")},
       R"x("C:\a b" & calc.exe | x; $(y))x"},
      {"a size larger than the data",
       {.type = about::kString, .bytes = bytes("abc"), .reportedSize = 900},
       std::string("abc") + std::string(896, '\0')},
  };
  for (const auto& c : cases) {
    const auto [found, text] = read(c.value, "");
    EXPECT_EQ(found, !c.expected.empty()) << c.what;
    EXPECT_EQ(text, c.expected) << c.what;
  }
}

TEST_F(Launcher, ABrokenByteCountNeverReadsOutsideTheBuffer) {
  // A registry that claims more bytes than the buffer holds is refused.
  for (const std::uint32_t size : {1025U, 2048U, 0xFFFFFFFFU}) {
    registry().plant(about::kLocalMachine, kToolKey, "PATH",
                     {.type = about::kString, .bytes = bytes("C:\\x.exe"), .reportedSize = size});
    fakes().files.insert("C:\\x.exe");
    sysInfo();
  }
  EXPECT_EQ(driver.boxes().size(), 3U);
  EXPECT_TRUE(fakes().started.empty());
  EXPECT_EQ(registry().openHandles(), 0U);
}

}  // namespace
