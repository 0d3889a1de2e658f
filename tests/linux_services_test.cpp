#include "about/linux_services.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ui/error.h"

namespace {

namespace fs = std::filesystem;
using about::LinuxServices;

class LinuxLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vorel-launcher-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    marker = root / "marker";
  }
  void TearDown() override { fs::remove_all(root); }

  // A program that leaves a marker file named after itself.
  fs::path program(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\necho ran > '" << marker.string() << "'\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }

  // Waits (bounded) for the detached program to leave its marker.
  bool markerAppears() {
    for (int i = 0; i < 500 && !fs::exists(marker); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(marker);
  }

  std::string readToolPath(LinuxServices& services) {
    about::RegistryKey key = 0;
    const long opened = services.openKey(
        about::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0, about::kKeyRead, key);
    if (opened != about::kSuccess) {
      return "<" + std::to_string(opened) + ">";
    }
    std::array<std::uint8_t, 1024> buffer{};
    std::uint32_t size = 1024;
    std::uint32_t type = 0;
    const long read = services.queryValue(key, "PATH", type, buffer, size);
    services.closeKey(key);
    EXPECT_EQ(read, about::kSuccess);
    EXPECT_EQ(type, about::kString);
    return {reinterpret_cast<const char*>(buffer.data()), size - 1};
  }

  fs::path root;
  fs::path marker;
};

TEST_F(LinuxLauncher, TheStandInAnswersWithTheFirstInstalledTool) {
  const fs::path second = program(root / "bin" / "second-tool");
  const fs::path third = program(root / "bin" / "third-tool");
  fs::create_directories(root / "bin" / "a-folder");
  LinuxServices services({(root / "bin" / "missing").string(), (root / "bin" / "a-folder").string(),
                          second.string(), third.string()});
  EXPECT_EQ(readToolPath(services), second.string());

  LinuxServices nothing({(root / "none").string()});
  EXPECT_EQ(readToolPath(nothing), "<2>");
}

TEST_F(LinuxLauncher, RunsExactlyTheFileNamedWithNoShellAndLeavesNoZombie) {
  const fs::path odd = root / "dir with spaces; $(touch pwned) `id` 'q' \"dq\" & |" / "tool *?";
  const fs::path tool = program(odd);
  // Decoys a shell would run if it split or expanded the path.
  program(root / "dir");

  LinuxServices services(std::vector<std::string>{});
  const auto before = fs::current_path();
  fs::current_path(root);
  services.startProcess(tool.string());
  fs::current_path(before);

  ASSERT_TRUE(markerAppears());
  EXPECT_FALSE(fs::exists(root / "pwned"));
  // No child of ours is left, running or as a zombie: the program was handed to init.
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(LinuxLauncher, RefusesWhatCannotBeRun) {
  LinuxServices services(std::vector<std::string>{});
  const fs::path text = root / "notes.txt";
  std::ofstream(text) << "not a program\n";
  for (const std::string& path : {std::string(), (root / "missing").string(), root.string(),
                                  text.string(), std::string("a\0b", 3)}) {
    EXPECT_THROW(services.startProcess(path), ui::Error) << path;
  }
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
}

TEST_F(LinuxLauncher, OnlyVisibleRegularFilesExist) {
  LinuxServices services(std::vector<std::string>{});
  std::ofstream(root / "MSINFO32.EXE") << "x";
  std::ofstream(root / ".hidden") << "x";
  fs::create_directories(root / "folder");
  EXPECT_TRUE(services.fileExists((root / "MSINFO32.EXE").string()));
  EXPECT_FALSE(services.fileExists((root / ".hidden").string()));
  EXPECT_FALSE(services.fileExists((root / "folder").string()));
  EXPECT_FALSE(services.fileExists((root / "absent").string()));
  EXPECT_FALSE(services.fileExists(""));
}

}  // namespace
