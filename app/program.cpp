#include "app/program.h"

#include <memory>
#include <string>

#include "about/about_window.h"
#include "about/platform.h"
#include "app/settings.h"
#include "game/game_window.h"

namespace app {

void registerForms(ui::Application& application) {
  application.registerForm(game::GameWindow::kName, [](ui::Application& a) {
    return std::make_unique<game::GameWindow>(a);
  });
  application.registerForm(about::AboutWindow::kName, [](ui::Application& a) {
    return std::make_unique<about::AboutWindow>(a, about::makePlatformServices());
  });
}

int run(ui::Driver& driver, const std::function<int()>& eventLoop) {
  ui::Application application(driver, std::string(settings::kTitle));
  registerForms(application);
  if (!application.start(game::GameWindow::kName)) {
    return application.exitStatus().value_or(1);
  }
  const int status = eventLoop();
  return application.exitStatus().value_or(status);
}

}  // namespace app
