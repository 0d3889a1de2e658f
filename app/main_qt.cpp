#include <QApplication>
#include <array>
#include <cstdio>
#include <exception>

#include "app/program.h"
#include "app/settings.h"
#include "ui/qt/qt_driver.h"

int main() {
  // The program reads no command line: Qt sees the program's name only.
  std::array<char, app::settings::kExecutable.size() + 1> name{};
  app::settings::kExecutable.copy(name.data(), app::settings::kExecutable.size());
  std::array<char*, 2> argv{name.data(), nullptr};
  int argc = 1;
  const QApplication application(argc, argv.data());
  // The model decides when the program ends, not the last window.
  QApplication::setQuitOnLastWindowClosed(false);

  try {
    ui::qt::QtDriver driver;
    return app::run(driver, [] { return QApplication::exec(); });
  } catch (const std::exception& error) {
    // Only what the system refuses at start-up gets here (such as a timer).
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
