#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <thread>
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

class VersionBlock {
 public:
  explicit VersionBlock(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    data_.resize(size);
    ok_ = size > 0 && ::GetFileVersionInfoW(file.c_str(), 0, size, data_.data());
  }
  [[nodiscard]] bool ok() const { return ok_; }

  [[nodiscard]] std::vector<std::uint8_t> value(const std::wstring& path) {
    void* found = nullptr;
    UINT length = 0;
    if (!ok_ || !::VerQueryValueW(data_.data(), path.c_str(), &found, &length)) {
      return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(found);
    return {bytes, bytes + length};
  }
  [[nodiscard]] std::wstring text(const std::wstring& name) {
    void* found = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!ok_ || !::VerQueryValueW(data_.data(), path.c_str(), &found, &length)) {
      return L"<missing>";
    }
    return static_cast<const wchar_t*>(found);
  }
  // The keys of the string table as stored, in their order.
  [[nodiscard]] std::vector<std::wstring> stringKeys() const {
    // Each entry: length, value length, type, key, padding to 32 bits, value.
    const std::wstring table = L"040904B0";
    const auto* begin = reinterpret_cast<const wchar_t*>(data_.data());
    const std::size_t units = data_.size() / sizeof(wchar_t);
    const std::wstring_view all(begin, units);
    const std::size_t at = all.find(table);
    std::vector<std::wstring> keys;
    if (at == std::wstring_view::npos) {
      return keys;
    }
    std::size_t offset = (at + table.size() + 1) * sizeof(wchar_t);
    offset = (offset + 3) & ~std::size_t{3};
    const std::size_t tableStart = at * sizeof(wchar_t) - 3 * sizeof(std::uint16_t);
    std::uint16_t tableLength = 0;
    std::memcpy(&tableLength, data_.data() + tableStart, sizeof tableLength);
    const std::size_t end = tableStart + tableLength;
    while (offset + 6 < end) {
      std::uint16_t length = 0;
      std::memcpy(&length, data_.data() + offset, sizeof length);
      if (length == 0) {
        break;
      }
      keys.emplace_back(reinterpret_cast<const wchar_t*>(data_.data() + offset + 6));
      offset = (offset + length + 3) & ~std::size_t{3};
    }
    return keys;
  }

 private:
  std::vector<std::uint8_t> data_;
  bool ok_ = false;
};

TEST(VorelExe, CarriesItsVersionBlock) {
  VersionBlock block(exePath());
  ASSERT_TRUE(block.ok()) << "no version block in vorel.exe";

  const std::vector<std::uint8_t> fixed = block.value(L"\\");
  ASSERT_EQ(fixed.size(), sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO info{};
  std::memcpy(&info, fixed.data(), sizeof info);
  EXPECT_EQ(info.dwSignature, 0xFEEF04BDU);
  EXPECT_EQ(info.dwFileVersionMS, 0x00010000U);
  EXPECT_EQ(info.dwFileVersionLS, 0U);
  EXPECT_EQ(info.dwProductVersionMS, 0x00010000U);
  EXPECT_EQ(info.dwProductVersionLS, 0U);
  EXPECT_EQ(info.dwFileFlagsMask, 0U);
  EXPECT_EQ(info.dwFileFlags, 0U);
  EXPECT_EQ(info.dwFileOS, 4U);
  EXPECT_EQ(info.dwFileType, 1U);
  EXPECT_EQ(info.dwFileSubtype, 0U);
  EXPECT_EQ(info.dwFileDateMS, 0U);
  EXPECT_EQ(info.dwFileDateLS, 0U);

  EXPECT_EQ(block.text(L"CompanyName"), L"Orvanta");
  EXPECT_EQ(block.text(L"ProductName"), L"vorel");
  EXPECT_EQ(block.text(L"FileVersion"), L"1.00");
  EXPECT_EQ(block.text(L"ProductVersion"), L"1.00");
  EXPECT_EQ(block.text(L"InternalName"), L"vorel");
  EXPECT_EQ(block.text(L"OriginalFilename"), L"vorel.exe");
  EXPECT_EQ(block.stringKeys(),
            (std::vector<std::wstring>{L"CompanyName", L"ProductName", L"FileVersion",
                                       L"ProductVersion", L"InternalName", L"OriginalFilename"}));

  const std::vector<std::uint8_t> translation = block.value(L"\\VarFileInfo\\Translation");
  EXPECT_EQ(translation, (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04}));
}

#pragma pack(push, 2)
struct GroupHeader {
  std::uint16_t reserved;
  std::uint16_t type;
  std::uint16_t count;
};
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
  ASSERT_GE(::SizeofResource(module.get(), group), sizeof(GroupHeader) + 2 * sizeof(GroupEntry));
  GroupHeader header{};
  std::memcpy(&header, data, sizeof header);
  EXPECT_EQ(header.type, 1);
  ASSERT_EQ(header.count, 2);

  const std::uint8_t sizes[2] = {32, 16};
  const std::uint16_t ids[2] = {30001, 30002};
  for (int i = 0; i < 2; ++i) {
    GroupEntry entry{};
    std::memcpy(&entry, data + sizeof header + static_cast<std::size_t>(i) * sizeof entry,
                sizeof entry);
    EXPECT_EQ(entry.id, ids[i]);
    EXPECT_EQ(entry.width, sizes[i]);
    EXPECT_EQ(entry.height, sizes[i]);
    EXPECT_EQ(entry.colours, 16);
    EXPECT_EQ(entry.bitCount, 4);
    HRSRC image = ::FindResourceW(module.get(), MAKEINTRESOURCEW(ids[i]), MAKEINTRESOURCEW(3));
    ASSERT_NE(image, nullptr) << ids[i];
    EXPECT_EQ(::SizeofResource(module.get(), image), entry.bytes) << ids[i];
  }
}

TEST(VorelExe, StartsWithTheGameWindowAndEndsWithZeroWhenItCloses) {
  std::wstring commandLine = L"\"" + exePath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(exePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process))
      << "error " << ::GetLastError();
  const ui::win32::KernelHandle processHandle(process.hProcess);
  const ui::win32::KernelHandle threadHandle(process.hThread);

  HWND game = nullptr;
  for (int i = 0; i < 600 && game == nullptr; ++i) {
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeProcess(process.hProcess, &code));
    ASSERT_EQ(code, STILL_ACTIVE) << "vorel.exe ended before its window came up";
    game = win32_testing::findWindow({.process = process.dwProcessId, .caption = L"Game"});
    if (game == nullptr) {
      std::this_thread::sleep_for(50ms);
    }
  }
  ASSERT_NE(game, nullptr) << "no window \"Game\"";
  RECT client{};
  ::GetClientRect(game, &client);
  EXPECT_EQ(client.right, 792);
  EXPECT_EQ(client.bottom, 72);

  ::PostMessageW(game, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(process.hProcess, 30'000), WAIT_OBJECT_0);
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  EXPECT_EQ(status, 0U);
}

// Groups the pixels of a capture that stand out from its ground (the corner
// pixel) into 8-connected shapes, and counts the different shapes among them.
// Letters make several; a font without the script's glyphs draws the same
// empty box for every character.
int distinctShapes(const win32_testing::Capture& capture) {
  const std::uint32_t ground = capture.at(0, 0);
  const auto brightness = [](std::uint32_t pixel) {
    return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
  };
  const auto inked = [&](int x, int y) {
    return std::abs(brightness(capture.at(x, y)) - brightness(ground)) > 3 * 96;
  };
  std::vector<bool> seen(static_cast<std::size_t>(capture.width() * capture.height()));
  std::set<std::vector<std::pair<int, int>>> shapes;
  for (int y = 0; y < capture.height(); ++y) {
    for (int x = 0; x < capture.width(); ++x) {
      if (seen[static_cast<std::size_t>(y * capture.width() + x)] || !inked(x, y)) {
        continue;
      }
      std::vector<std::pair<int, int>> shape;
      std::vector<std::pair<int, int>> open{{x, y}};
      seen[static_cast<std::size_t>(y * capture.width() + x)] = true;
      while (!open.empty()) {
        const auto [px, py] = open.back();
        open.pop_back();
        shape.emplace_back(px, py);
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = px + dx;
            const int ny = py + dy;
            if (nx < 0 || ny < 0 || nx >= capture.width() || ny >= capture.height()) {
              continue;
            }
            const auto at = static_cast<std::size_t>(ny * capture.width() + nx);
            if (!seen[at] && inked(nx, ny)) {
              seen[at] = true;
              open.emplace_back(nx, ny);
            }
          }
        }
      }
      // The shape relative to its top-left corner, so equal glyphs compare equal.
      int left = shape.front().first;
      int top = shape.front().second;
      for (const auto& [px, py] : shape) {
        left = std::min(left, px);
        top = std::min(top, py);
      }
      for (auto& [px, py] : shape) {
        px -= left;
        py -= top;
      }
      std::sort(shape.begin(), shape.end());
      shapes.insert(std::move(shape));
    }
  }
  return static_cast<int>(shapes.size());
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
  [[nodiscard]] DWORD id() const { return id_; }
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
  // Letters and their dots, not the empty boxes of a font without them, which
  // make one shape a word at most.
  int shapes = 0;
  for (int i = 0; i < 100 && shapes == 0; ++i) {
    std::this_thread::sleep_for(50ms);  // until the box has drawn its text
    shapes = distinctShapes(win32_testing::Capture(prompt));
  }
  EXPECT_GE(shapes, 4);

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
