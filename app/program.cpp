#include "app/program.h"

#include <memory>
#include <string>

#include "about/frm_about.h"
#include "about/platform.h"
#include "app/settings.h"
#include "game/form1.h"

namespace app {

void registerForms(ui::Application& application) {
  application.registerForm(game::Form1::kName,
                           [](ui::Application& a) { return std::make_unique<game::Form1>(a); });
  application.registerForm(about::FrmAbout::kName, [](ui::Application& a) {
    return std::make_unique<about::FrmAbout>(a, about::makePlatformServices());
  });
}

int run(ui::Driver& driver, const std::function<int()>& eventLoop) {
  ui::Application application(driver, std::string(settings::kTitle));
  registerForms(application);
  if (!application.start(game::Form1::kName)) {
    return application.exitStatus().value_or(1);
  }
  const int status = eventLoop();
  return application.exitStatus().value_or(status);
}

}  // namespace app
