#include "about/linux_services.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "about/about_window.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/headless/headless_driver.h"

namespace {

namespace fs = std::filesystem;
using about::LinuxServices;

class LinuxLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vorel-launcher-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
  }
  void TearDown() override { fs::remove_all(root); }

  // A program that writes its session's id to `mark` in the test's folder, then
  // runs on until that file is taken away or the test is gone.
  fs::path program(const fs::path& path, const char* mark = "ran") {
    fs::create_directories(path.parent_path());
    const std::string file = "'" + (root / mark).string() + "'";
    std::ofstream(path) << "#!/bin/sh\ncut -d' ' -f6 /proc/self/stat >" << file << ".new\nmv "
                        << file << ".new " << file << "\nwhile [ -e " << file << " ] && kill -0 "
                        << ::getpid() << "; do sleep 0.01; done\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }
  // A registry value as the launcher reads it; empty when not found.
  static std::string read(std::vector<std::string> tools, std::string path, std::string entry) {
    ui::headless::HeadlessDriver driver;
    ui::Application app(driver, "vorel");
    about::AboutWindow window(app, std::make_unique<LinuxServices>(std::move(tools)));
    about::RegistryKey root = about::kLocalMachine;
    std::string text;
    window.readRegistryText(root, path, entry, text);
    return text;
  }

  fs::path root;
};

TEST_F(LinuxLauncher, TheStandInRegistryAnswersWithTheFirstInstalledToolOnly) {
  const fs::path second = program(root / "bin" / "second");
  const std::vector<std::string> tools{(root / "missing").string(), root.string(), second.string(),
                                       program(root / "bin" / "third").string()};
  EXPECT_EQ(read(tools, about::kToolKey, about::kToolValue), second.string());
  EXPECT_EQ(read(tools, about::kFolderKey, about::kFolderValue), "");
  // The file check takes a plain file, not a hidden one nor a folder.
  LinuxServices services(std::vector<std::string>{});
  const fs::path hidden = program(root / "bin" / ".third");
  EXPECT_TRUE(services.fileExists(second.string()));
  EXPECT_FALSE(services.fileExists(hidden.string()) || services.fileExists(root.string()));
  std::string longest = root.string();  // 1023 characters: the buffer's size with its end
  while (1023 - longest.size() > 210) {
    longest += "/" + std::string(200, 'd');
  }
  longest += "/" + std::string(1022 - longest.size(), 't');
  EXPECT_EQ(read({program(longest).string()}, about::kToolKey, about::kToolValue), longest);
}

TEST_F(LinuxLauncher, RunsExactlyTheFileNamedWithNoShellAndLeavesNoChild) {
  const fs::path tool = program(root / "a dir; $(touch pwned) `id` 'q' & |" / "tool *?");
  program(root / "a", "decoy");  // what a shell splitting the path would run
  LinuxServices services(std::vector<std::string>{});
  const auto before = fs::current_path();
  fs::current_path(root);
  services.startProcess(tool.string());
  fs::current_path(before);
  for (int i = 0; i < 500 && !fs::exists(root / "ran"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_t session = 0;
  std::ifstream(root / "ran") >> session;
  EXPECT_NE(session, ::getsid(0));        // on its own, not ended with the game's terminal
  EXPECT_TRUE(fs::remove(root / "ran"));  // the start did not wait for the program to end
  EXPECT_FALSE(fs::exists(root / "pwned") || fs::exists(root / "decoy"));
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);  // no child left, not even a zombie
}

// A path that exec refuses comes back through the pipe as an error.
TEST_F(LinuxLauncher, RefusesWhatCannotBeRun) {
  LinuxServices services(std::vector<std::string>{});
  std::ofstream(root / "notes.txt") << "not a program\n";
  for (const std::string& path :
       {std::string(), (root / "missing").string(), root.string(), (root / "notes.txt").string(),
        program(root / "tool").string() + '\0'}) {
    EXPECT_THROW(services.startProcess(path), ui::Error) << path;
  }
}

}  // namespace
