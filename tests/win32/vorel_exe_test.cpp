#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "assets/pictures.h"
#include "ui/win32/handles.h"
#include "win32_fixture.h"

namespace {

using namespace std::chrono_literals;

// The program under test, built beside this one.
std::wstring exePath() {
  return win32_testing::windowsPath(VOREL_EXE);
}

// The version block's fixed part, and one string of its table, "" if absent.
class VersionBlock {
 public:
  explicit VersionBlock(const std::wstring& file) {
    DWORD ignored = 0;
    data_.resize(::GetFileVersionInfoSizeW(file.c_str(), &ignored));
    ok_ = !data_.empty() &&
          ::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data());
  }
  [[nodiscard]] bool ok() const { return ok_; }
  [[nodiscard]] std::wstring_view value(const std::wstring& path) {
    void* found = nullptr;
    UINT length = 0;
    if (!ok_ || !::VerQueryValueW(data_.data(), path.c_str(), &found, &length)) {
      return {};
    }
    return {static_cast<const wchar_t*>(found), path.starts_with(L"\\StringFileInfo")
                                                    ? std::wcslen(static_cast<wchar_t*>(found))
                                                    : length / sizeof(wchar_t)};
  }

 private:
  std::vector<std::uint8_t> data_;
  bool ok_ = false;
};

TEST(VorelExe, CarriesItsVersionBlock) {
  VersionBlock block(exePath());
  ASSERT_TRUE(block.ok()) << "no version block in vorel.exe";

  const std::wstring_view fixed = block.value(L"\\");
  ASSERT_EQ(fixed.size() * sizeof(wchar_t), sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO info{};
  std::memcpy(&info, fixed.data(), sizeof info);
  EXPECT_EQ(info.dwSignature, 0xFEEF04BDU);
  const std::vector<DWORD> fields{
      info.dwFileVersionMS, info.dwFileVersionLS, info.dwProductVersionMS, info.dwProductVersionLS,
      info.dwFileFlags,     info.dwFileOS,        info.dwFileType};
  EXPECT_EQ(fields, (std::vector<DWORD>{0x00010000, 0, 0x00010000, 0, 0, 4, 1}));

  const std::pair<const wchar_t*, const wchar_t*> strings[] = {
      {L"CompanyName", L"Orvanta"}, {L"ProductName", L"vorel"},
      {L"FileVersion", L"1.00"},    {L"ProductVersion", L"1.00"},
      {L"InternalName", L"vorel"},  {L"OriginalFilename", L"vorel.exe"}};
  for (const auto& [name, expected] : strings) {
    EXPECT_EQ(block.value(std::wstring(L"\\StringFileInfo\\040904B0\\") + name), expected) << name;
  }
  // Language 0x0409, code page 1200, as two 16-bit words.
  EXPECT_EQ(block.value(L"\\VarFileInfo\\Translation"), (std::wstring{0x0409, 1200}));
}

#pragma pack(push, 2)
struct GroupEntry {
  std::uint8_t width;
  std::uint8_t height;
  std::uint8_t colours;
  std::uint8_t reserved;
  std::uint16_t planes;
  std::uint16_t bitCount;
  std::uint32_t bytes;
  std::uint16_t id;
};
#pragma pack(pop)

struct ModuleDeleter {
  void operator()(HMODULE module) const noexcept { ::FreeLibrary(module); }
};

TEST(VorelExe, CarriesItsIconGroup) {
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter> module(::LoadLibraryExW(
      exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module);
  HRSRC group = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
  ASSERT_NE(group, nullptr) << "no icon group 1";
  const auto* data =
      static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module.get(), group)));
  // A header of three words (reserved, type 1, count) and the entries.
  constexpr std::size_t kHeader = 6;
  ASSERT_GE(::SizeofResource(module.get(), group), kHeader + 2 * sizeof(GroupEntry));
  EXPECT_EQ(data[2] + 256 * data[3], 1);
  EXPECT_EQ(data[4] + 256 * data[5], 2);
  for (const auto& [index, id, size] :
       {std::tuple{std::size_t{0}, 30001, 32}, std::tuple{std::size_t{1}, 30002, 16}}) {
    GroupEntry entry{};
    std::memcpy(&entry, data + kHeader + index * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.id, id);
    EXPECT_EQ(entry.width, size);
    EXPECT_EQ(entry.height, size);
    EXPECT_EQ(entry.colours, 16);
    EXPECT_EQ(entry.bitCount, 4);
    HRSRC image = ::FindResourceW(module.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
    ASSERT_NE(image, nullptr) << id;
    EXPECT_EQ(::SizeofResource(module.get(), image), entry.bytes) << id;
  }
}

// vorel.exe started as a user starts it, ended by the test if it is still running.
class Game {
 public:
  Game() {
    std::wstring commandLine = L"\"" + exePath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    started_ = ::CreateProcessW(exePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, &startup, &process) != FALSE;
    process_.reset(process.hProcess);
    thread_.reset(process.hThread);
    id_ = process.dwProcessId;
  }
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
  Game(Game&&) = delete;
  Game& operator=(Game&&) = delete;
  ~Game() {
    if (running()) {
      ::TerminateProcess(process_.get(), 99);
      ::WaitForSingleObject(process_.get(), 10'000);
    }
  }

  [[nodiscard]] bool started() const { return started_; }
  [[nodiscard]] bool running() const {
    DWORD code = 0;
    return started_ && ::GetExitCodeProcess(process_.get(), &code) && code == STILL_ACTIVE;
  }
  // Waits until a window of the game's shows up; nullptr if it never does.
  [[nodiscard]] HWND await(std::wstring_view className, std::wstring_view caption = {}) const {
    for (int i = 0; i < 1200 && running(); ++i) {
      if (HWND window = win32_testing::findWindow(
              {.process = id_, .className = className, .caption = caption, .enabledOnly = true})) {
        return window;
      }
      std::this_thread::sleep_for(25ms);
    }
    return nullptr;
  }
  // The exit status, once it has ended within half a minute.
  [[nodiscard]] std::optional<DWORD> exitStatus() const {
    if (::WaitForSingleObject(process_.get(), 30'000) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  bool started_ = false;
  DWORD id_ = 0;
  ui::win32::KernelHandle process_;
  ui::win32::KernelHandle thread_;
};

TEST(VorelExe, StartsWithTheGameWindowAndEndsWithZeroWhenItCloses) {
  const Game game;
  ASSERT_TRUE(game.started()) << "error " << ::GetLastError();
  HWND window = game.await(L"VorelForm", L"Game");
  ASSERT_NE(window, nullptr) << "no window \"Game\"";
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.exitStatus(), std::optional<DWORD>(0));
}

TEST(VorelExe, LeftAloneTheGameIsLostWithTheWreckAndTheBoxThenEndsWithZero) {
  const Game game;
  ASSERT_TRUE(game.started()) << "error " << ::GetLastError();
  HWND window = game.await(L"VorelForm", L"Game");
  ASSERT_NE(window, nullptr) << "no window \"Game\"";
  // No shot is fired: element 0 comes within reach of the ship on the 22nd tick.
  HWND box = game.await(L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";

  wchar_t title[64]{};
  ::GetWindowTextW(box, title, 64);
  EXPECT_STREQ(title, L"vorel");
  HWND prompt = ::GetDlgItem(box, 0xFFFF);
  wchar_t text[64]{};
  ::GetWindowTextW(prompt, text, 64);
  EXPECT_STREQ(text, L"\u0644\u0642\u062F \u062E\u0633\u0631\u0629");

  // Behind the box the ship shows the wreck, as far as element 0, drawn over
  // its nose at Left 1160 (77 pixels), lets it be seen.
  const int uncovered = 77 - 24;
  bool wrecked = false;
  for (int i = 0; i < 100 && !wrecked; ++i) {
    wrecked = win32_testing::Capture(window).shows(assets::defeat(), 24, 16, uncovered);
    if (!wrecked) {
      std::this_thread::sleep_for(50ms);
    }
  }
  EXPECT_TRUE(wrecked);

  win32_testing::User::clickCentre(::GetDlgItem(box, IDOK));
  EXPECT_EQ(game.exitStatus(), std::optional<DWORD>(0));
  EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
