#include <memory>

#include "about/platform.h"
#include "ui/error.h"

namespace about {
namespace {

// The launcher's services in a browser: a page has no registry and starts no
// programs, so the tool is never found and the launcher says it is unavailable.
class WebServices final : public SystemServices {
 public:
  long openKey(RegistryKey /*root*/, const std::string& /*subKey*/, std::uint32_t /*options*/,
               std::uint32_t /*access*/, RegistryKey& /*key*/) override {
    return kFileNotFound;
  }
  long queryValue(RegistryKey /*key*/, const std::string& /*valueName*/, std::uint32_t& /*type*/,
                  std::span<std::uint8_t> /*data*/, std::uint32_t& /*size*/) override {
    return kFileNotFound;
  }
  long closeKey(RegistryKey /*key*/) override { return kSuccess; }
  bool fileExists(const std::string& /*path*/) override { return false; }
  void startProcess(const std::string& /*path*/) override {
    throw ui::Error(ui::ErrorNumber::FileNotFound);
  }
};

}  // namespace

std::unique_ptr<SystemServices> makePlatformServices() {
  return std::make_unique<WebServices>();
}

}  // namespace about
