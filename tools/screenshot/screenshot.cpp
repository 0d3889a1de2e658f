// Saves the game window's first frame, painted by the Qt driver offscreen from
// the model exactly as start-up left it, before any event or tick.
// Usage: vorel_screenshot OUTPUT.png

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdio>
#include <string>

#include "app/program.h"
#include "app/settings.h"
#include "game/game_window.h"
#include "ui/qt/qt_driver.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "1");
  std::array<char, 17> name{"vorel_screenshot"};
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  int qtArgc = 1;
  const QApplication application(qtArgc, qtArgv.data());

  ui::qt::QtDriver driver;
  ui::Application program(driver, std::string(app::settings::kTitle));
  app::registerForms(program);
  QWidget* window = program.start(game::GameWindow::kName)
                        ? driver.window(program.form(game::GameWindow::kName))
                        : nullptr;
  if (window == nullptr) {
    std::fprintf(stderr, "%s: the game ended before its first frame\n", argv[0]);
    return 1;
  }
  const QImage frame = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (!frame.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
