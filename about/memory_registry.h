#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "about/system_services.h"

namespace about {

// A registry held in memory that answers as the narrow-text registry functions
// do: names without regard to case, byte counts that include a string's stored
// terminator, a terminator written after a string stored without one when the
// buffer has room (not counted), kMoreData with the needed size and an
// untouched buffer for a value larger than the buffer, kFileNotFound for a
// missing key or value. The Linux build answers from one of these; tests plant
// their own values.
class MemoryRegistry {
 public:
  struct Value {
    std::uint32_t type = kString;
    std::vector<std::uint8_t> bytes;
    // The byte count to report instead of the true one, to mimic a broken
    // registry (the bytes copied stay within both the value and the buffer).
    std::optional<std::uint32_t> reportedSize;
  };

  // A key that exists; with writeProtected, opening it with any write right
  // is refused as a standard user's would be.
  void plantKey(RegistryKey root, std::string_view key, bool writeProtected = false);
  void plant(RegistryKey root, std::string_view key, std::string_view name, Value value);
  // A string as `reg add` stores it: with its terminator.
  void plantString(RegistryKey root, std::string_view key, std::string_view name,
                   std::string_view text);
  void plantNumber(RegistryKey root, std::string_view key, std::string_view name,
                   std::uint32_t number);

  long openKey(RegistryKey root, const std::string& subKey, std::uint32_t options,
               std::uint32_t access, RegistryKey& key);
  long queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> data, std::uint32_t& size);
  long closeKey(RegistryKey key);

  // Handles opened and not closed yet.
  [[nodiscard]] std::size_t openHandles() const { return handles_.size(); }
  // Every key path asked for, in order.
  [[nodiscard]] const std::vector<std::string>& keysAsked() const { return asked_; }
  [[nodiscard]] const std::vector<std::uint32_t>& accessAsked() const { return access_; }

 private:
  struct Key {
    bool writeProtected = false;
    std::map<std::string, Value> values;  // by lower-case name
  };
  static std::string fold(RegistryKey root, std::string_view path);
  static std::string lower(std::string_view text);

  std::map<std::string, Key> keys_;  // by root and lower-case path
  std::map<RegistryKey, const Key*> handles_;
  RegistryKey nextHandle_ = 0x100;
  std::vector<std::string> asked_;
  std::vector<std::uint32_t> access_;
};

}  // namespace about
