#include "about/about_window.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "assets/pictures.h"
#include "game/game_window.h"
#include "ui/error.h"
#include "ui/text.h"

namespace about {
namespace {

using ui::Color;

const ui::FormDesign kAboutWindow{
    .caption = "About",
    .clientWidth = 5265,
    .clientHeight = 2250,
    .background = Color::rgb(255, 255, 255),
    .border = ui::BorderStyle::FixedDialog,
    .icon = nullptr,
    .left = 7590,
    .top = 3405,
};

// The controls in design order.
const ui::ButtonDesign kOkButton{
    .name = "cmdOK",
    .box = {.left = 240, .top = 1800, .width = 1260, .height = 345},
    .caption = "OK",
    .tabIndex = 0,
    .isDefault = true,
    .isCancel = true,
};
const ui::ButtonDesign kSystemInfoButton{
    .name = "cmdSysInfo",
    .box = {.left = 3720, .top = 1800, .width = 1245, .height = 345},
    .caption = "&System Info...",
    .tabIndex = 1,
};
const ui::LabelDesign kNote{
    .name = "Label1",
    .box = {.left = 1440, .top = 240, .width = 2655, .height = 1455},
    .caption =
        "I drew every ship and enemy of this little game by hand, pixel by pixel.\r\n"
        "Hold the space bar, keep calm, and may the column never reach you!\r",
    .background = Color::rgb(255, 255, 255),
    .foreground = Color::rgb(255, 0, 0),
    .font = {.points = 9.75},
    // On top of the version label, which overlaps its lower left: "Version 3"
    // ends before the note's text begins, so no text is painted over.
    .zOrder = 1,
};
const ui::ImageDesign kPortrait{
    .name = "Image1",
    .box = {.left = 4320, .top = 600, .width = 825, .height = 1065},
    .picture = &assets::portrait(),
    .stretch = true,
};
const ui::LabelDesign kTitleLabel{
    .name = "lblTitle",
    .box = {.left = 240, .top = 840, .width = 1125, .height = 240},
    .caption = "Orvanta",
    .background = Color::rgb(255, 255, 255),
    .foreground = Color::rgb(0, 0, 0),
};
const ui::LabelDesign kVersionLabel{
    .name = "lblVersion",
    .box = {.left = 240, .top = 1080, .width = 1965, .height = 225},
    .caption = "Version 3",
    .background = Color::rgb(255, 255, 255),
};

constexpr std::uint32_t kBufferSize = 1024;

// Closes a registry key when it goes out of scope. Closing the null handle
// left by a failed open does nothing; the result is ignored.
class KeyCloser {
 public:
  KeyCloser(SystemServices& services, const RegistryKey& key) : services_(services), key_(key) {}
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;
  KeyCloser(KeyCloser&&) = delete;
  KeyCloser& operator=(KeyCloser&&) = delete;
  ~KeyCloser() {
    try {
      services_.closeKey(key_);
    } catch (...) {  // NOLINT(bugprone-empty-catch): a key that cannot be closed is let go
    }
  }

 private:
  SystemServices& services_;
  const RegistryKey& key_;
};

}  // namespace

AboutWindow::AboutWindow(ui::Application& app, std::unique_ptr<SystemServices> services)
    : ui::Form(app, kName, kAboutWindow), services_(std::move(services)) {}

void AboutWindow::build() {
  okButton_ = &add<ui::CommandButton>(kOkButton);
  systemInfoButton_ = &add<ui::CommandButton>(kSystemInfoButton);
  note_ = &add<ui::Label>(kNote);
  portrait_ = &add<ui::Image>(kPortrait);
  titleLabel_ = &add<ui::Label>(kTitleLabel);
  versionLabel_ = &add<ui::Label>(kVersionLabel);
}

void AboutWindow::onLoad() {
  setCaption("About " + app().title());
}

void AboutWindow::onClick(ui::Control& control) {
  if (&control == okButton_) {
    resumeGameAndClose();
  } else if (&control == systemInfoButton_) {
    startSystemInformation();
  }
}

// Resumes the game and closes this window. When the game window was closed
// while this one was open there is no game to resume: this window closes, and
// being the last one, the program ends.
void AboutWindow::resumeGameAndClose() {
  if (auto* game = dynamic_cast<game::GameWindow*>(app().loadedForm(game::GameWindow::kName))) {
    game->resume();
  }
  unload();
}

void AboutWindow::startSystemInformation() {
  try {
    std::string toolPath;
    if (!readRegistryText(kLocalMachine, kToolKey, kToolValue, toolPath)) {
      if (!readRegistryText(kLocalMachine, kFolderKey, kFolderValue, toolPath)) {
        throw ui::Error(ui::ErrorNumber::FileNotFound);
      }
      if (!services_->fileExists(toolPath + kToolFile)) {
        throw ui::Error(ui::ErrorNumber::FileNotFound);
      }
      toolPath += kToolFile;
    }
    services_->startProcess(toolPath);
    return;
  } catch (const ui::Error&) {
  } catch (const std::exception&) {
  }
  app().msgBox(kUnavailable);
}

bool AboutWindow::readRegistryText(RegistryKey root, const std::string& keyName,
                                   const std::string& valueName, std::string& value) {
  RegistryKey key = 0;
  // The key is closed on every way out, errors included.
  const KeyCloser closer(*services_, key);

  if (services_->openKey(root, keyName, 0, kKeyRead, key) != kSuccess) {
    value.clear();
    return false;
  }
  std::array<std::uint8_t, kBufferSize> buffer{};
  std::uint32_t size = kBufferSize;
  std::uint32_t type = 0;
  if (services_->queryValue(key, valueName, type, buffer, size) != kSuccess) {
    value.clear();
    return false;
  }

  // Look at the character at position n (counting from 1) of the buffer's
  // text: a terminator there is dropped. Position 0, or one past the buffer,
  // is an invalid argument.
  const std::uint32_t n = size;
  if (n == 0 || n > kBufferSize) {
    throw ui::Error(ui::ErrorNumber::InvalidArgument);
  }
  const std::size_t length = buffer[n - 1] == 0 ? n - 1 : n;
  std::string text(reinterpret_cast<const char*>(buffer.data()), length);

  switch (type) {
    case kString:
      value = std::move(text);
      break;
    case kNumber: {
      // The number's decimal digits, from its little-endian bytes.
      std::uint32_t number = 0;
      for (std::size_t byte = std::min<std::size_t>(n, 4); byte-- > 0;) {
        number = (number << 8) | buffer[byte];
      }
      value = ui::decimal(number);
      break;
    }
    default:
      break;  // other types leave the value as it was
  }
  return true;
}

}  // namespace about
