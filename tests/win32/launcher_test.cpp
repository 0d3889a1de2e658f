#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <sddl.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "about/frm_about.h"
#include "app/program.h"
#include "win32_fixture.h"

// The system-information launcher against the registry of the test's own Wine
// prefix, starting a stand-in tool that shows from outside that it ran.
namespace {

using namespace std::chrono_literals;
using win32_testing::BoxAnswerer;
using win32_testing::DriverTest;
using win32_testing::User;

constexpr const wchar_t* kToolKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const wchar_t* kFolderKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";

struct RegistryData {
  DWORD type;
  std::vector<BYTE> bytes;
};

// A text value of HKEY_LOCAL_MACHINE as one test needs it (nothing: taken
// away), with what was there before put back afterwards.
class PlantedValue {
 public:
  PlantedValue(std::wstring key, std::wstring name, const std::optional<std::wstring>& value)
      : path_(std::move(key)), name_(std::move(name)) {
    DWORD disposition = 0;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key_, &disposition) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open the test's registry key";
      key_ = nullptr;
      return;
    }
    createdKey_ = disposition == REG_CREATED_NEW_KEY;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key_, name_.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      previous_ = RegistryData{type, std::vector<BYTE>(size)};
      ::RegQueryValueExW(key_, name_.c_str(), nullptr, &type, previous_->bytes.data(), &size);
    }
    if (value) {
      EXPECT_EQ(::RegSetValueExW(key_, name_.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value->c_str()),
                                 static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))),
                ERROR_SUCCESS);
    } else {
      ::RegDeleteValueW(key_, name_.c_str());
    }
  }
  PlantedValue(const PlantedValue&) = delete;
  PlantedValue& operator=(const PlantedValue&) = delete;
  PlantedValue(PlantedValue&&) = delete;
  PlantedValue& operator=(PlantedValue&&) = delete;
  ~PlantedValue() {
    if (key_ == nullptr) {
      return;
    }
    if (!security_.empty()) {
      ::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, security_.data());
    }
    if (previous_) {
      ::RegSetValueExW(key_, name_.c_str(), 0, previous_->type, previous_->bytes.data(),
                       static_cast<DWORD>(previous_->bytes.size()));
    } else {
      ::RegDeleteValueW(key_, name_.c_str());
    }
    ::RegCloseKey(key_);
    if (createdKey_) {
      ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path_.c_str());
    }
  }

  // Lets everyone read the key and nobody write it, as a standard user finds
  // the system's keys; the key's own access list comes back afterwards.
  void allowReadingOnly() {
    DWORD size = 0;
    ::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    security_.resize(size);
    ASSERT_EQ(::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, security_.data(), &size),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    EXPECT_EQ(::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    ::LocalFree(readOnly);
  }

 private:
  std::wstring path_;
  std::wstring name_;
  HKEY key_ = nullptr;
  bool createdKey_ = false;
  std::optional<RegistryData> previous_;
  std::vector<BYTE> security_;
};

bool exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A copy of the stand-in tool at a path of the prefix's C: drive, with the
// folders it needs; all of it, and the file the tool leaves, go afterwards.
class PlantedTool {
 public:
  PlantedTool(std::wstring folder, const std::wstring& name)
      : folder_(std::move(folder)), path_(folder_ + L"\\" + name) {
    createdFolder_ = ::CreateDirectoryW(folder_.c_str(), nullptr) != FALSE;
    const std::wstring tool = win32_testing::windowsPath(VOREL_SYSINFO_TOOL);
    EXPECT_TRUE(::CopyFileW(tool.c_str(), path_.c_str(), FALSE)) << "error " << ::GetLastError();
    ::DeleteFileW(marker().c_str());
  }
  PlantedTool(const PlantedTool&) = delete;
  PlantedTool& operator=(const PlantedTool&) = delete;
  PlantedTool(PlantedTool&&) = delete;
  PlantedTool& operator=(PlantedTool&&) = delete;
  ~PlantedTool() {
    // A tool that was started may still be on its way out.
    for (int i = 0; i < 100 && exists(path_) && !::DeleteFileW(path_.c_str()); ++i) {
      std::this_thread::sleep_for(20ms);
    }
    ::DeleteFileW(marker().c_str());
    if (createdFolder_) {
      ::RemoveDirectoryW(folder_.c_str());
    }
  }

  [[nodiscard]] const std::wstring& path() const { return path_; }
  [[nodiscard]] std::wstring marker() const { return path_ + L".ran"; }
  [[nodiscard]] bool ran() const { return exists(marker()); }

 private:
  std::wstring folder_;
  std::wstring path_;
  bool createdFolder_ = false;
};

class Launcher : public DriverTest {
 protected:
  Launcher() { app::registerForms(app); }
  about::FrmAbout& about() { return app.form<about::FrmAbout>(about::FrmAbout::kName); }
  void clickSystemInfo() {
    ASSERT_TRUE(app.start(about::FrmAbout::kName));
    HWND window = driver.windowOf(about());
    User::clickCentre(::FindWindowExW(window, nullptr, L"BUTTON", L"&System Info..."));
  }
};

TEST_F(Launcher, TheFirstLocationStartsTheToolByItsExactPath) {
  const PlantedTool tool(L"C:\\Program Files\\vorel test tool", L"tool.exe");
  // What a command line split at its first blank would start instead.
  const PlantedTool decoy(L"C:", L"Program.exe");
  PlantedValue path(kToolKey, L"PATH", tool.path());
  path.allowReadingOnly();
  // Asking for read and write rights, as the launcher once did, is refused here.
  HKEY writable = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kToolKey, 0, 0x2003F, &writable),
            ERROR_ACCESS_DENIED);
  const BoxAnswerer answerer;

  ASSERT_NO_FATAL_FAILURE(clickSystemInfo());
  ASSERT_TRUE(runUntil([&] { return tool.ran(); }));
  EXPECT_FALSE(decoy.ran());
  EXPECT_TRUE(answerer.boxes().empty());
  EXPECT_TRUE(about().loaded());
}

TEST_F(Launcher, WithNeitherLocationTheBoxSaysSo) {
  const PlantedValue path(kToolKey, L"PATH", std::nullopt);
  const PlantedValue folder(kFolderKey, L"MSINFO", std::nullopt);
  const BoxAnswerer answerer;

  ASSERT_NO_FATAL_FAILURE(clickSystemInfo());
  ASSERT_TRUE(runUntil([&] { return answerer.boxes().size() == 1; }));
  EXPECT_EQ(answerer.boxes()[0].title, L"vorel");
  EXPECT_EQ(answerer.boxes()[0].text, L"System Information Is Unavailable At This Time");
  EXPECT_TRUE(about().loaded());
}

}  // namespace
