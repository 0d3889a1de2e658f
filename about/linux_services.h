#pragma once

#include <string>
#include <vector>

#include "about/system_services.h"

namespace about {

// The launcher's services on Linux. There is no registry: a read-only
// stand-in answers the tool's path value with the first installed desktop
// system-information program of a search list, and finds nothing else.
// Programs are executed directly, with no shell, detached and reaped.
class LinuxServices final : public SystemServices {
 public:
  explicit LinuxServices(std::vector<std::string> toolSearchList = defaultTools());

  static std::vector<std::string> defaultTools();

  long openKey(RegistryKey root, const std::string& subKey, std::uint32_t options,
               std::uint32_t access, RegistryKey& key) override;
  long queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> data, std::uint32_t& size) override;
  long closeKey(RegistryKey key) override;
  bool fileExists(const std::string& path) override;
  void startProcess(const std::string& path) override;

 private:
  std::vector<std::string> toolSearchList_;
  std::string tool_;  // what the open key answers, found when it was opened
};

}  // namespace about
