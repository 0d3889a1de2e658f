#pragma once

#include <memory>
#include <string>

#include "about/system_services.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace about {

// The About window. Opening it pauses the game (the game window's click
// handler sets both timers' Interval to 0); OK resumes the game and closes it;
// System Info starts the system's information tool.
class FrmAbout final : public ui::Form {
 public:
  static constexpr const char* kName = "frmAbout";
  static constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

  FrmAbout(ui::Application& app, std::unique_ptr<SystemServices> services);

  // Starts the system-information tool found through the registry, or shows
  // why it cannot. Every error on the way ends in the one message box.
  void StartSysInfo();
  // Reads one registry value as text into KeyVal; true when a value was read.
  // Raises what the steps inside raise (a value of size 0, for one).
  bool GetKeyValue(RegistryKey& KeyRoot, std::string& KeyName, std::string& SubKeyRef,
                   std::string& KeyVal);

  [[nodiscard]] ui::CommandButton& cmdOK() const { return *cmdOK_; }
  [[nodiscard]] ui::CommandButton& cmdSysInfo() const { return *cmdSysInfo_; }
  [[nodiscard]] ui::Label& note() const { return *note_; }          // Label1
  [[nodiscard]] ui::Image& portrait() const { return *portrait_; }  // Image1
  [[nodiscard]] ui::Label& lblTitle() const { return *lblTitle_; }
  [[nodiscard]] ui::Label& lblVersion() const { return *lblVersion_; }

 private:
  void build() override;
  void onLoad() override;
  void onClick(ui::Control& control) override;

  void cmdOKClick();
  void cmdSysInfoClick();

  std::unique_ptr<SystemServices> services_;
  ui::CommandButton* cmdOK_ = nullptr;
  ui::CommandButton* cmdSysInfo_ = nullptr;
  ui::Label* note_ = nullptr;
  ui::Image* portrait_ = nullptr;
  ui::Label* lblTitle_ = nullptr;
  ui::Label* lblVersion_ = nullptr;
};

}  // namespace about
