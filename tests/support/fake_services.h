#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "about/system_services.h"
#include "ui/error.h"

namespace testing_support {

// A registry value as stored; a broken registry may report another byte count.
struct Value {
  std::uint32_t type = about::kString;
  std::string bytes;
  std::optional<std::uint32_t> reported;
};

// The launcher's services over a registry that answers as the narrow-text one
// does for a standard user (read rights only, keys under HKEY_LOCAL_MACHINE),
// and a pretend file system; programs started are recorded, not run.
class FakeServices final : public about::SystemServices {
 public:
  std::map<std::string, std::map<std::string, Value>> keys;
  std::set<std::string> files;
  std::vector<std::string> started;
  int open = 0;  // keys opened and not yet closed

  long openKey(about::RegistryKey root, const std::string& subKey, std::uint32_t options,
               std::uint32_t access, about::RegistryKey& key) override {
    const auto found = keys.find(subKey);
    const bool refused = (access & ~about::kKeyRead) != 0;
    if (refused || options != 0 || root != about::kLocalMachine || found == keys.end()) {
      return refused ? about::kAccessDenied : about::kFileNotFound;
    }
    key = static_cast<about::RegistryKey>(std::distance(keys.begin(), found)) + 1;
    ++open;
    return about::kSuccess;
  }
  long queryValue(about::RegistryKey key, const std::string& name, std::uint32_t& type,
                  std::span<std::uint8_t> data, std::uint32_t& size) override {
    const auto& values = std::next(keys.begin(), static_cast<long>(key) - 1)->second;
    const auto found = values.find(name);
    if (found == values.end()) {
      return about::kFileNotFound;
    }
    const Value& value = found->second;
    const auto stored = static_cast<std::uint32_t>(value.bytes.size());
    type = value.type;
    if (stored > std::min<std::size_t>(size, data.size())) {
      size = stored;
      return about::kMoreData;  // the buffer untouched
    }
    std::copy(value.bytes.begin(), value.bytes.end(), data.begin());
    if (value.type == about::kString && stored < data.size()) {
      data[stored] = 0;  // a terminator the string was stored without, not counted
    }
    size = value.reported.value_or(stored);
    return about::kSuccess;
  }
  long closeKey(about::RegistryKey key) override {
    open -= key != 0 ? 1 : 0;
    return about::kSuccess;
  }
  bool fileExists(const std::string& path) override { return files.contains(path); }
  void startProcess(const std::string& path) override {
    if (!files.contains(path)) {
      throw ui::Error(ui::ErrorNumber::FileNotFound);
    }
    started.push_back(path);
  }
};

}  // namespace testing_support
