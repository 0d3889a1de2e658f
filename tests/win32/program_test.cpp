// vorel.exe as a user starts it, and the launcher against the real registry
// of the test's own Wine prefix, starting a stand-in tool that shows from
// outside that it ran.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <oleacc.h>
#include <sddl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "about/about_window.h"
#include "app/program.h"
#include "assets/pictures.h"
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

// Whether `done` holds within 30 s.
template <typename Done>
bool waitFor(Done done) {
  for (int i = 0; i < 1200 && !done(); ++i) {
    std::this_thread::sleep_for(25ms);
  }
  return done();
}

// A test that changes the prefix or starts programs: what it changed is
// undone, the last change first, and what it started ends, however it ends.
class Prefix : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto step = undo_.rbegin(); step != undo_.rend(); ++step) {
      (*step)();
    }
  }
  HANDLE startAsAUser(const std::wstring& path) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW)};
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &process));
    undo_.emplace_back([process] {
      ::TerminateProcess(process.hProcess, 99);
      ::CloseHandle(process.hProcess);
      ::CloseHandle(process.hThread);
    });
    return process.hProcess;
  }

  std::vector<std::function<void()>> undo_;
};

constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";

TEST_F(Prefix, VorelExeLaysItselfOutAtTheDisplaysDpiAndEndsWithZeroWithItsLastWindow) {
  // Wine tells every program the DPI of the prefix's display and stretches
  // none: what shows is the program's own layout.
  constexpr DWORD kDpi = 144;
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &kDpi, sizeof kDpi);
  undo_.emplace_back([] { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels"); });
  HANDLE program = startAsAUser(windowsPath(VOREL_EXE));
  const auto shown = [id = ::GetProcessId(program)](const wchar_t* caption) {
    HWND found = nullptr;
    waitFor([&] { return (found = win32_testing::findWindow(L"VorelForm", caption, id)); });
    return found;
  };
  HWND game = shown(L"Game");
  ASSERT_NE(game, nullptr);
  RECT client{};
  ::GetClientRect(game, &client);
  EXPECT_EQ(client.right, 1188);
  EXPECT_EQ(client.bottom, 108);
  // The ship at (24, 16) in 96-dpi pixels, 1.5 times as large, in its own colours only.
  const auto foreign = [&ship = assets::ship()](std::uint32_t pixel) {
    return std::none_of(ship.pixels.begin(), ship.pixels.end(),
                        [&](std::uint32_t own) { return (own & 0xFFFFFF) == pixel; });
  };
  EXPECT_EQ(win32_testing::capture(game).count({36, 24, 92, 51}, foreign), 0);
  // A screen reader, in another process, finds it there too.
  if (SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    undo_.emplace_back([] { ::CoUninitialize(); });  // the reader's objects come through COM
  }
  POINT corner{36, 24};
  ::ClientToScreen(game, &corner);
  IAccessible* reader = nullptr;
  VARIANT ship{};
  std::array<long, 4> place{};
  if (::AccessibleObjectFromPoint({corner.x + 46, corner.y + 25}, &reader, &ship) == S_OK) {
    reader->accLocation(&place[0], &place[1], &place[2], &place[3], ship);
    reader->Release();
  }
  EXPECT_EQ(place, (std::array<long, 4>{corner.x, corner.y, 92, 51}));

  ::PostMessageW(game, WM_KEYDOWN, VK_F1, 0);
  HWND about = shown(L"About vorel");
  ASSERT_NE(about, nullptr);
  ::GetClientRect(about, &client);
  EXPECT_EQ(client.right, 527);
  EXPECT_EQ(client.bottom, 225);
  ::PostMessageW(game, WM_CLOSE, 0, 0);
  ::PostMessageW(about, WM_CLOSE, 0, 0);
  DWORD status = 99;
  ::WaitForSingleObject(program, 30'000);
  ::GetExitCodeProcess(program, &status);
  EXPECT_EQ(status, 0U);
}

// Ends the loop of a box that the launcher opened: none was expected.
void CALLBACK endBox(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
  ::PostQuitMessage(1);
}

TEST_F(Prefix, TheLauncherStartsTheToolByItsExactPathFromAKeyItMayOnlyRead) {
  // A stand-in at the tool's path, and one where a command line split at its
  // first blank would look; each leaves "<its path>.ran" when it runs.
  const std::wstring folder = L"C:\\Program Files\\vorel test tool";
  const std::wstring tool = folder + L"\\tool.exe";
  const std::wstring decoy = L"C:\\Program.exe";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  undo_.emplace_back([folder] { ::RemoveDirectoryW(folder.c_str()); });
  for (const std::wstring& path : {tool, decoy}) {
    ::DeleteFileW((path + L".ran").c_str());
    EXPECT_TRUE(::CopyFileW(windowsPath(VOREL_SYSINFO_TOOL).c_str(), path.c_str(), FALSE));
    undo_.emplace_back([path] {
      ::DeleteFileW((path + L".ran").c_str());
      // A tool that ran may still be on its way out.
      waitFor([&] { return ::DeleteFileW(path.c_str()) || !exists(path); });
    });
  }
  // Its path in a key that everyone may read and nobody write, as a standard
  // user finds the system's keys.
  const wchar_t* const key = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
  HKEY opened = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &opened, nullptr),
            ERROR_SUCCESS);
  undo_.emplace_back([opened, key] {
    ::RegCloseKey(opened);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
  });
  ::RegSetValueExW(opened, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(tool.c_str()),
                   static_cast<DWORD>((tool.size() + 1) * sizeof(wchar_t)));
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                         &readOnly, nullptr);
  EXPECT_EQ(::RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
  ::LocalFree(readOnly);

  ui::win32::Win32Driver driver;
  ui::Application app{driver, "vorel"};
  app::registerForms(app);
  ASSERT_TRUE(app.start(about::AboutWindow::kName));
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10'000, &endBox);
  app.click(app.form<about::AboutWindow>(about::AboutWindow::kName).systemInfoButton());
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(waitFor([&] { return exists(tool + L".ran"); }));
  EXPECT_FALSE(exists(decoy + L".ran"));
}

}  // namespace
