// vorel.exe as a user starts it, and the launcher against the real registry
// of the test's own Wine prefix, starting a stand-in tool that shows from
// outside that it ran.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <sddl.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "about/frm_about.h"
#include "app/program.h"
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

TEST(VorelExe, ShowsTheGameWindowAndEndsWithZeroWhenItIsClosed) {
  const std::wstring path = windowsPath(VOREL_EXE);
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW)};
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));
  const platform::win32::KernelHandle game(process.hProcess);
  const platform::win32::KernelHandle thread(process.hThread);
  HWND window = nullptr;
  for (int i = 0; i < 1200 && window == nullptr; ++i) {
    std::this_thread::sleep_for(25ms);
    window = win32_testing::findWindow(
        {.process = process.dwProcessId, .className = L"VorelForm", .caption = L"Game"});
  }
  EXPECT_NE(window, nullptr) << "no window \"Game\"";
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD status = 99;
  if (::WaitForSingleObject(game.get(), 30'000) != WAIT_OBJECT_0) {
    ::TerminateProcess(game.get(), 99);  // it must not outlive the test
  }
  ::GetExitCodeProcess(game.get(), &status);
  EXPECT_EQ(status, 0U);
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
  ASSERT_TRUE(app.start(about::FrmAbout::kName));
  auto& window = app.form<about::FrmAbout>(about::FrmAbout::kName);
  app.click(window.cmdSysInfo());
  EXPECT_TRUE(win32_testing::runUntil(
      driver, app, [&] { return tool.ran(); }, 20s));
  EXPECT_FALSE(decoy.ran());
  EXPECT_TRUE(window.loaded());
  EXPECT_EQ(win32_testing::findWindow({.process = ::GetCurrentProcessId(), .className = L"#32770"}),
            nullptr);
}

}  // namespace
