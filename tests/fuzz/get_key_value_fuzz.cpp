// Fuzzes the reading of one registry value as text. The input chooses the
// value's type, the byte count the registry reports (0 to 2048) and the bytes
// themselves; the read must never crash or read outside its buffer, must
// close the key, and must give exactly what the cut rule and the type rules
// say.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "support/fake_services.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/headless/headless_driver.h"
#include "ui/text.h"

namespace {

constexpr std::size_t kBuffer = 1024;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

// The text the read must give, worked out independently of the reader.
struct Expected {
  bool raises = false;
  bool found = false;
  std::string text;
};

Expected expect(std::uint32_t type, const std::vector<std::uint8_t>& data, std::uint32_t reported,
                const std::string& before) {
  Expected result;
  if (data.size() > kBuffer) {
    return result;  // not found, text emptied
  }
  std::vector<std::uint8_t> buffer(kBuffer, 0);
  std::copy(data.begin(), data.end(), buffer.begin());
  const std::uint32_t n = reported;
  if (n == 0 || n > kBuffer) {
    result.raises = true;
    return result;
  }
  const std::size_t length = buffer[n - 1] == 0 ? n - 1 : n;
  result.found = true;
  if (type == about::kString) {
    result.text.assign(reinterpret_cast<const char*>(buffer.data()), length);
  } else if (type == about::kNumber) {
    std::uint32_t number = 0;
    for (std::size_t byte = std::min<std::size_t>(n, 4); byte-- > 0;) {
      number = (number << 8) | buffer[byte];
    }
    result.text = ui::decimal(number);
  } else {
    result.text = before;
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 6) {
    return 0;
  }
  const std::uint32_t type = input[0] % 8;  // the handled types and a few others
  const std::uint32_t reported =
      (static_cast<std::uint32_t>(input[1]) | (static_cast<std::uint32_t>(input[2]) << 8)) % 2049;
  const bool reportTrueSize = (input[3] & 1) != 0;
  const std::vector<std::uint8_t> data(input + 6, input + size);

  ui::headless::HeadlessDriver driver;
  ui::Application app(driver, "vorel");
  auto owned = std::make_unique<testing_support::FakeServices>();
  auto& services = *owned;
  about::FrmAbout window(app, std::move(owned));

  about::MemoryRegistry::Value value{.type = type, .bytes = data};
  if (!reportTrueSize) {
    value.reportedSize = reported;
  }
  services.registry.plant(about::kLocalMachine, "K", "V", value);

  about::RegistryKey root = about::kLocalMachine;
  std::string key = "K";
  std::string name = "V";
  const std::string before = "before";
  std::string text = before;
  const Expected expected = expect(
      type, data, reportTrueSize ? static_cast<std::uint32_t>(data.size()) : reported, before);
  bool raised = false;
  bool found = false;
  try {
    found = window.GetKeyValue(root, key, name, text);
  } catch (const ui::Error&) {
    raised = true;
  }
  require(services.registry.openHandles() == 0, "the key was left open");
  require(raised == expected.raises, "raising");
  if (!raised) {
    require(found == expected.found, "found");
    require(text == (expected.found ? expected.text : std::string()), "text");
  }
  return 0;
}
