// vorel.exe as a user starts it, and the launcher against the real registry
// of the test's own Wine prefix, starting a stand-in tool that shows from
// outside that it ran.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "about/about_window.h"
#include "app/program.h"
#include "assets/pictures.h"
#include "run_loop.h"
#include "screen.h"
#include "ui/win32/win32_driver.h"

namespace {

using namespace std::chrono_literals;

// A Unix path as Wine's Z: drive shows it.
std::wstring windowsPath(std::string_view unixPath) {
  std::wstring path = L"Z:";
  for (const char c : unixPath) {
    path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  }
  return path;
}

bool exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// vorel.exe, started as a user starts it; it must not outlive the test.
class VorelExe {
 public:
  VorelExe() {
    const std::wstring path = windowsPath(VOREL_EXE);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW)};
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &process));
    process_.reset(process.hProcess);
    ::CloseHandle(process.hThread);
    id_ = process.dwProcessId;
  }
  VorelExe(const VorelExe&) = delete;
  VorelExe& operator=(const VorelExe&) = delete;
  VorelExe(VorelExe&&) = delete;
  VorelExe& operator=(VorelExe&&) = delete;
  ~VorelExe() { ::TerminateProcess(process_.get(), 99); }

  // Its window with that caption, once it shows; nullptr when it does not.
  [[nodiscard]] HWND window(std::wstring_view caption) const {
    HWND found = nullptr;
    for (int i = 0; i < 1200 && found == nullptr && process_; ++i) {
      std::this_thread::sleep_for(25ms);
      found = win32_testing::findWindow(
          {.process = id_, .className = L"VorelForm", .caption = caption});
    }
    return found;
  }
  [[nodiscard]] DWORD exitStatus() const {
    DWORD status = 99;
    ::WaitForSingleObject(process_.get(), 30'000);
    ::GetExitCodeProcess(process_.get(), &status);
    return status;
  }

 private:
  platform::win32::KernelHandle process_;
  DWORD id_ = 0;
};

// The prefix's display at another DPI while it lives; Wine tells every program
// that DPI and stretches none, so what shows is the program's own layout.
class DisplayDpi {
 public:
  explicit DisplayDpi(DWORD dpi) {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key_, nullptr);
    ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                     sizeof dpi);
  }
  DisplayDpi(const DisplayDpi&) = delete;
  DisplayDpi& operator=(const DisplayDpi&) = delete;
  DisplayDpi(DisplayDpi&&) = delete;
  DisplayDpi& operator=(DisplayDpi&&) = delete;
  ~DisplayDpi() {
    ::RegDeleteValueW(key_, L"LogPixels");
    ::RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
};

TEST(VorelExe, LaysItselfOutAtTheDisplaysDpiAndEndsWithZeroWithItsLastWindow) {
  // It says so in its manifest, where Windows looks before it stretches a program.
  const platform::win32::LibraryHandle image(
      ::LoadLibraryExW(windowsPath(VOREL_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  HRSRC manifest = ::FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  const std::string_view text(
      static_cast<const char*>(::LockResource(::LoadResource(image.get(), manifest))),
      ::SizeofResource(image.get(), manifest));
  EXPECT_NE(text.find("PerMonitorV2"), std::string_view::npos);

  const DisplayDpi dpi(144);
  const VorelExe program;
  HWND game = program.window(L"Game");
  ASSERT_NE(game, nullptr);
  RECT client{};
  ::GetClientRect(game, &client);
  EXPECT_EQ(client.right, 1188);
  EXPECT_EQ(client.bottom, 108);
  // The ship at (24, 16) in 96-dpi pixels, 1.5 times as large, in its own colours only.
  const ui::Picture& ship = assets::ship();
  const RECT shipBox{36, 24, (24 + ship.width) * 3 / 2, (16 + ship.height) * 3 / 2};
  EXPECT_EQ(win32_testing::Capture(game).count(
                shipBox,
                [&](std::uint32_t pixel) {
                  return std::none_of(ship.pixels.begin(), ship.pixels.end(),
                                      [&](std::uint32_t own) { return (own & 0xFFFFFF) == pixel; });
                }),
            0);

  ::PostMessageW(game, WM_KEYDOWN, VK_F1, 0);
  HWND about = program.window(L"About vorel");
  ASSERT_NE(about, nullptr);
  ::GetClientRect(about, &client);
  EXPECT_EQ(client.right, 527);
  EXPECT_EQ(client.bottom, 225);
  // The red note within its box, as large as the rest, once painted where
  // the test's small screen shows it; nothing red beside it.
  ::SetWindowPos(about, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  const auto red = [](std::uint32_t pixel) {
    return static_cast<int>(pixel >> 16) - static_cast<int>((pixel >> 8) & 0xFF) > 64;
  };
  int note = 0;
  int beside = 0;
  for (int i = 0; i < 100 && note == 0; ++i) {
    std::this_thread::sleep_for(50ms);
    const win32_testing::Capture window(about);
    note = window.count({144, 24, 432, 170}, red);
    beside = window.count({0, 0, 432, 180}, red) - note;  // left of the portrait
  }
  EXPECT_GT(note, 450);  // at 96 dpi it has some 200 red pixels
  EXPECT_EQ(beside, 0);
  ::PostMessageW(game, WM_CLOSE, 0, 0);
  ::PostMessageW(about, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.exitStatus(), 0U);
}

// The tool's path under HKEY_LOCAL_MACHINE for one test, in a key that
// everyone may read and nobody write, as a standard user finds the system's
// keys; the key goes afterwards.
class ToolPath {
 public:
  explicit ToolPath(const std::wstring& path) {
    EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key_, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key_, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                           &readOnly, nullptr);
    EXPECT_EQ(::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    ::LocalFree(readOnly);
  }
  ToolPath(const ToolPath&) = delete;
  ToolPath& operator=(const ToolPath&) = delete;
  ToolPath(ToolPath&&) = delete;
  ToolPath& operator=(ToolPath&&) = delete;
  ~ToolPath() {
    ::RegCloseKey(key_);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
  }
  static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

 private:
  HKEY key_ = nullptr;
};

// A copy of the stand-in tool at a path of the prefix's C: drive; it leaves
// "<its path>.ran" when it runs.
class Tool {
 public:
  Tool(std::wstring folder, const std::wstring& name)
      : folder_(std::move(folder)), path_(folder_ + L"\\" + name) {
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    EXPECT_TRUE(::CopyFileW(windowsPath(VOREL_SYSINFO_TOOL).c_str(), path_.c_str(), FALSE));
    ::DeleteFileW((path_ + L".ran").c_str());
  }
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;
  Tool(Tool&&) = delete;
  Tool& operator=(Tool&&) = delete;
  ~Tool() {
    for (int i = 0; i < 100 && exists(path_) && !::DeleteFileW(path_.c_str()); ++i) {
      std::this_thread::sleep_for(20ms);  // a tool that ran may still be on its way out
    }
    ::DeleteFileW((path_ + L".ran").c_str());
    ::RemoveDirectoryW(folder_.c_str());  // only when empty: C:\ stays
  }
  [[nodiscard]] const std::wstring& path() const { return path_; }
  [[nodiscard]] bool ran() const { return exists(path_ + L".ran"); }

 private:
  std::wstring folder_;
  std::wstring path_;
};

TEST(Launcher, StartsTheToolByItsExactPathFromAKeyItMayOnlyRead) {
  const Tool tool(L"C:\\Program Files\\vorel test tool", L"tool.exe");
  const Tool decoy(L"C:", L"Program.exe");  // what a command line split at its first blank runs
  const ToolPath path(tool.path());
  ui::win32::Win32Driver driver;
  ui::Application app{driver, "vorel"};
  app::registerForms(app);
  ASSERT_TRUE(app.start(about::AboutWindow::kName));
  auto& window = app.form<about::AboutWindow>(about::AboutWindow::kName);
  app.click(window.systemInfoButton());
  EXPECT_TRUE(win32_testing::runUntil(
      driver, app, [&] { return tool.ran(); }, 20s));
  EXPECT_FALSE(decoy.ran());
  EXPECT_EQ(win32_testing::findWindow({.process = ::GetCurrentProcessId(), .className = L"#32770"}),
            nullptr);
}

}  // namespace
