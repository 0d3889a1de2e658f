#pragma once

#include <memory>
#include <string>

#include "about/system_services.h"
#include "ui/application.h"
#include "ui/form.h"

namespace about {

// The About window. Opening it pauses the game (the game window's click
// handler sets both timers' Interval to 0); OK resumes the game and closes it;
// System Info starts the system's information tool.
class AboutWindow final : public ui::Form {
 public:
  static constexpr const char* kName = "frmAbout";
  static constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

  AboutWindow(ui::Application& app, std::unique_ptr<SystemServices> services);

  // Starts the system-information tool found through the registry, or shows
  // why it cannot. Every error on the way ends in the one message box.
  void startSystemInformation();
  // Reads one registry value as text into `value`; true when a value was
  // read. Raises what the steps inside raise (a value of size 0, for one).
  bool readRegistryText(RegistryKey root, const std::string& keyName, const std::string& valueName,
                        std::string& value);

  [[nodiscard]] ui::CommandButton& okButton() const { return *okButton_; }
  [[nodiscard]] ui::CommandButton& systemInfoButton() const { return *systemInfoButton_; }
  [[nodiscard]] ui::Label& note() const { return *note_; }
  [[nodiscard]] ui::Image& portrait() const { return *portrait_; }
  [[nodiscard]] ui::Label& titleLabel() const { return *titleLabel_; }
  [[nodiscard]] ui::Label& versionLabel() const { return *versionLabel_; }

 private:
  void build() override;
  void onLoad() override;
  void onClick(ui::Control& control) override;

  void resumeGameAndClose();

  std::unique_ptr<SystemServices> services_;
  ui::CommandButton* okButton_ = nullptr;
  ui::CommandButton* systemInfoButton_ = nullptr;
  ui::Label* note_ = nullptr;
  ui::Image* portrait_ = nullptr;
  ui::Label* titleLabel_ = nullptr;
  ui::Label* versionLabel_ = nullptr;
};

}  // namespace about
