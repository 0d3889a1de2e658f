#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "about/platform.h"
#include "about/system_services.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "ui/error.h"

namespace about {
namespace {

using platform::win32::KernelHandle;
using platform::win32::LibraryHandle;
using platform::win32::wide;

HKEY handleOf(RegistryKey key) {
  return reinterpret_cast<HKEY>(key);  // NOLINT(performance-no-int-to-ptr)
}

// The predefined root keys are sign-extended handle values; the launcher's
// root is its 32-bit number.
HKEY rootKey(RegistryKey root) {
  return root == kLocalMachine ? HKEY_LOCAL_MACHINE : handleOf(root);
}

using OpenKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
using QueryValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using CloseKeyFunction = LONG(WINAPI*)(HKEY);

// The launcher's services on Windows. The registry functions of advapi32 are
// bound at their first call and the binding is kept for later calls; the
// executable does not import advapi32.
class WindowsServices final : public SystemServices {
 public:
  long openKey(RegistryKey root, const std::string& subKey, std::uint32_t options,
               std::uint32_t access, RegistryKey& key) override {
    HKEY opened = nullptr;
    const LONG result =
        bind(openKey_, "RegOpenKeyExA")(rootKey(root), subKey.c_str(), options, access, &opened);
    if (result == ERROR_SUCCESS) {
      key = reinterpret_cast<RegistryKey>(opened);
    }
    return result;
  }

  long queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> data, std::uint32_t& size) override {
    DWORD valueType = 0;
    DWORD byteCount = std::min<DWORD>(size, static_cast<DWORD>(data.size()));
    const LONG result = bind(queryValue_, "RegQueryValueExA")(
        handleOf(key), valueName.c_str(), nullptr, &valueType, data.data(), &byteCount);
    type = valueType;
    size = byteCount;
    return result;
  }

  long closeKey(RegistryKey key) override { return bind(closeKey_, "RegCloseKey")(handleOf(key)); }

  bool fileExists(const std::string& path) override {
    if (path.empty()) {
      return false;
    }
    const DWORD attributes = ::GetFileAttributesW(wide(path, CP_ACP).c_str());
    constexpr DWORD kExcluded =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kExcluded) == 0;
  }

  // The path is the application name, so it is never parsed out of a command
  // line (where "C:\Program Files\..." would first try "C:\Program.exe").
  void startProcess(const std::string& path) override {
    if (path.empty()) {
      throw ui::Error(ui::ErrorNumber::FileNotFound);
    }
    const std::wstring application = wide(path, CP_ACP);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                         nullptr, nullptr, &startup, &process) == FALSE) {
      throw ui::Error(ui::ErrorNumber::FileNotFound);
    }
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle threadHandle(process.hThread);
  }

 private:
  template <typename Function>
  Function bind(Function& slot, const char* name) {
    if (slot == nullptr) {
      if (!library_) {
        library_.reset(::LoadLibraryW(L"advapi32.dll"));
        if (!library_) {
          throw ui::Error(ui::ErrorNumber::FunctionNotBound);
        }
      }
      slot = reinterpret_cast<Function>(
          reinterpret_cast<void (*)()>(::GetProcAddress(library_.get(), name)));
      if (slot == nullptr) {
        throw ui::Error(ui::ErrorNumber::FunctionNotBound);
      }
    }
    return slot;
  }

  LibraryHandle library_;
  OpenKeyFunction openKey_ = nullptr;
  QueryValueFunction queryValue_ = nullptr;
  CloseKeyFunction closeKey_ = nullptr;
};

}  // namespace

std::unique_ptr<SystemServices> makePlatformServices() {
  return std::make_unique<WindowsServices>();
}

}  // namespace about
