#pragma once

#include <set>
#include <string>
#include <vector>

#include "about/memory_registry.h"
#include "about/system_services.h"
#include "ui/error.h"

namespace testing_support {

// The launcher's services over an in-memory registry and a pretend file
// system; programs started are recorded, not run.
class FakeServices final : public about::SystemServices {
 public:
  about::MemoryRegistry registry;
  std::set<std::string> files;   // regular files that exist
  std::set<std::string> hidden;  // files that exist with the hidden attribute
  std::vector<std::string> started;
  std::vector<std::string> checked;  // paths asked about
  bool registryUnbound = false;      // the registry functions cannot be bound
  bool checkFails = false;           // the existence check itself raises

  long openKey(about::RegistryKey root, const std::string& subKey, std::uint32_t options,
               std::uint32_t access, about::RegistryKey& key) override {
    bindOrThrow();
    return registry.openKey(root, subKey, options, access, key);
  }
  long queryValue(about::RegistryKey key, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> data, std::uint32_t& size) override {
    bindOrThrow();
    return registry.queryValue(key, valueName, type, data, size);
  }
  long closeKey(about::RegistryKey key) override {
    bindOrThrow();
    return registry.closeKey(key);
  }
  bool fileExists(const std::string& path) override {
    checked.push_back(path);
    if (checkFails) {
      throw ui::Error(ui::ErrorNumber::InvalidArgument);
    }
    return files.contains(path);
  }
  void startProcess(const std::string& path) override {
    if (!files.contains(path) && !hidden.contains(path)) {
      throw ui::Error(ui::ErrorNumber::FileNotFound);
    }
    started.push_back(path);
  }

 private:
  void bindOrThrow() const {
    if (registryUnbound) {
      throw ui::Error(ui::ErrorNumber::FunctionNotBound);
    }
  }
};

}  // namespace testing_support
