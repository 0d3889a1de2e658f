#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace about {

// A registry key handle; 0 is the null handle.
using RegistryKey = std::uintptr_t;

inline constexpr RegistryKey kLocalMachine = 0x80000002;

// Result codes of the registry functions.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kMoreData = 234;

// Value types the launcher handles.
inline constexpr std::uint32_t kString = 1;  // text, stored with its terminator
inline constexpr std::uint32_t kNumber = 4;  // a 32-bit little-endian number

// Where the system-information tool is recorded, under kLocalMachine: its full
// path, or the folder that holds it.
inline constexpr const char* kToolKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
inline constexpr const char* kToolValue = "PATH";
inline constexpr const char* kFolderKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";
inline constexpr const char* kFolderValue = "MSINFO";
inline constexpr const char* kToolFile = R"(\MSINFO32.EXE)";

// Keys are opened for reading only: asking for write rights fails for a
// standard user and would make an installed tool look unavailable.
inline constexpr std::uint32_t kKeyRead = 0x20019;

// What the system-information launcher needs of the platform. Every operation
// may raise ui::Error (a registry function that cannot be bound, a failed
// check, a process that cannot be started).
class SystemServices {
 public:
  SystemServices() = default;
  SystemServices(const SystemServices&) = delete;
  SystemServices& operator=(const SystemServices&) = delete;
  SystemServices(SystemServices&&) = delete;
  SystemServices& operator=(SystemServices&&) = delete;
  virtual ~SystemServices() = default;

  // The registry through its narrow-text functions. openKey writes the handle
  // only on success. queryValue fills data from its start and replaces size
  // with the value's byte count: a value larger than the buffer gives
  // kMoreData and leaves the buffer untouched.
  virtual long openKey(RegistryKey root, const std::string& subKey, std::uint32_t options,
                       std::uint32_t access, RegistryKey& key) = 0;
  virtual long queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                          std::span<std::uint8_t> data, std::uint32_t& size) = 0;
  virtual long closeKey(RegistryKey key) = 0;

  // Whether a regular file of that path exists; directories, hidden and system
  // files do not count.
  virtual bool fileExists(const std::string& path) = 0;

  // Starts the program at exactly this path, without arguments and without
  // waiting, shown normally with the focus. Raises ui::Error when it cannot.
  virtual void startProcess(const std::string& path) = 0;
};

}  // namespace about
