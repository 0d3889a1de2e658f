// Whatever type, bytes and byte count the registry answers, reading the value
// lets only the model's own errors escape, gives at most the buffer's 1024
// bytes and closes the key; ASan watches every read of the buffer.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "about/about_window.h"
#include "support/fake_services.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/headless/headless_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 6) {
    return 0;
  }
  auto owned = std::make_unique<testing_support::FakeServices>();
  const testing_support::FakeServices& services = *owned;
  testing_support::Value& value = owned->keys["K"]["V"];
  value.type = input[0] % 8U;  // the two handled types and a few others
  value.bytes.assign(input + 6, input + size);
  if ((input[3] & 1U) == 0) {  // a broken registry: a count of its own, 0 to 2048
    value.reported = (input[1] | (static_cast<std::uint32_t>(input[2]) << 8U)) % 2049U;
  }
  ui::headless::HeadlessDriver driver;
  ui::Application app(driver, "vorel");
  about::AboutWindow window(app, std::move(owned));
  about::RegistryKey root = about::kLocalMachine;
  std::string path = "K";
  std::string entry = "V";
  std::string text = "before";
  try {
    (void)window.readRegistryText(root, path, entry, text);
  } catch (const ui::Error&) {  // NOLINT(bugprone-empty-catch): raising is allowed
  }
  if (text.size() > 1024 || services.open != 0) {
    std::abort();
  }
  return 0;
}
