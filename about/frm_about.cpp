#include "about/frm_about.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "assets/pictures.h"
#include "game/form1.h"
#include "ui/error.h"
#include "ui/text.h"

namespace about {
namespace {

using ui::Color;

const ui::FormDesign kFrmAbout{
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
const ui::ButtonDesign kCmdOK{
    .name = "cmdOK",
    .box = {.left = 240, .top = 1800, .width = 1260, .height = 345},
    .caption = "OK",
    .tabIndex = 0,
    .isDefault = true,
    .isCancel = true,
};
const ui::ButtonDesign kCmdSysInfo{
    .name = "cmdSysInfo",
    .box = {.left = 3720, .top = 1800, .width = 1245, .height = 345},
    .caption = "&System Info...",
    .tabIndex = 1,
};
const ui::LabelDesign kLabel1{
    .name = "Label1",
    .box = {.left = 1440, .top = 240, .width = 2655, .height = 1455},
    .caption =
        "I drew every ship and enemy of this little game by hand, one pixel at a time.\r\n"
        "Hold the space bar, keep calm, and may the column never reach your ship!\r",
    .background = Color::rgb(255, 255, 255),
    .foreground = Color::rgb(255, 0, 0),
    .font = {.points = 9.75, .weight = 400, .italic = false, .charset = 178},
    // On top of the version label, which overlaps its lower left: "Version 3"
    // ends before the note's text begins, so no text is painted over.
    .zOrder = 1,
};
const ui::ImageDesign kImage1{
    .name = "Image1",
    .box = {.left = 4320, .top = 600, .width = 825, .height = 1065},
    .picture = &assets::portrait(),
    .stretch = true,
};
const ui::LabelDesign kLblTitle{
    .name = "lblTitle",
    .box = {.left = 240, .top = 840, .width = 1125, .height = 240},
    .caption = "Orvanta",
    .background = Color::rgb(255, 255, 255),
    .foreground = Color::rgb(0, 0, 0),
};
const ui::LabelDesign kLblVersion{
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

FrmAbout::FrmAbout(ui::Application& app, std::unique_ptr<SystemServices> services)
    : ui::Form(app, kName, kFrmAbout), services_(std::move(services)) {}

void FrmAbout::build() {
  cmdOK_ = &add<ui::CommandButton>(kCmdOK);
  cmdSysInfo_ = &add<ui::CommandButton>(kCmdSysInfo);
  note_ = &add<ui::Label>(kLabel1);
  portrait_ = &add<ui::Image>(kImage1);
  lblTitle_ = &add<ui::Label>(kLblTitle);
  lblVersion_ = &add<ui::Label>(kLblVersion);
}

void FrmAbout::onLoad() {
  setCaption("About " + app().title());
}

void FrmAbout::onClick(ui::Control& control) {
  if (&control == cmdOK_) {
    cmdOKClick();
  } else if (&control == cmdSysInfo_) {
    cmdSysInfoClick();
  }
}

// Resumes the game and closes this window. When the game window was closed
// while this one was open there is no game to resume: this window closes, and
// being the last one, the program ends.
void FrmAbout::cmdOKClick() {
  if (auto* game = dynamic_cast<game::Form1*>(app().loadedForm(game::Form1::kName))) {
    game->resume();
  }
  unload();
}

void FrmAbout::cmdSysInfoClick() {
  StartSysInfo();
}

void FrmAbout::StartSysInfo() {
  try {
    std::string SysInfoPath;
    RegistryKey root = kLocalMachine;
    std::string keyName = kToolKey;
    std::string valueName = kToolValue;
    if (!GetKeyValue(root, keyName, valueName, SysInfoPath)) {
      keyName = kFolderKey;
      valueName = kFolderValue;
      if (!GetKeyValue(root, keyName, valueName, SysInfoPath)) {
        throw ui::Error(ui::ErrorNumber::FileNotFound);
      }
      if (!services_->fileExists(SysInfoPath + kToolFile)) {
        throw ui::Error(ui::ErrorNumber::FileNotFound);
      }
      SysInfoPath += kToolFile;
    }
    services_->startProcess(SysInfoPath);
    return;
  } catch (const ui::Error&) {
  } catch (const std::exception&) {
  }
  app().msgBox(kUnavailable);
}

bool FrmAbout::GetKeyValue(RegistryKey& KeyRoot, std::string& KeyName, std::string& SubKeyRef,
                           std::string& KeyVal) {
  RegistryKey key = 0;
  // The key is closed on every way out, errors included.
  const KeyCloser closer(*services_, key);

  if (services_->openKey(KeyRoot, KeyName, 0, kKeyRead, key) != kSuccess) {
    KeyVal.clear();
    return false;
  }
  std::array<std::uint8_t, kBufferSize> buffer{};
  std::uint32_t size = kBufferSize;
  std::uint32_t type = 0;
  if (services_->queryValue(key, SubKeyRef, type, buffer, size) != kSuccess) {
    KeyVal.clear();
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
      KeyVal = std::move(text);
      break;
    case kNumber: {
      // The number's decimal digits, from its little-endian bytes.
      std::uint32_t number = 0;
      for (std::size_t byte = std::min<std::size_t>(n, 4); byte-- > 0;) {
        number = (number << 8) | buffer[byte];
      }
      KeyVal = ui::decimal(number);
      break;
    }
    default:
      break;  // other types leave KeyVal as it was
  }
  return true;
}

}  // namespace about
