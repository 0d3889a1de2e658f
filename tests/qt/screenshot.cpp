// Saves the first frame of the game window, drawn by the Qt driver offscreen.
// Usage: vorel_screenshot OUTPUT.png

#include <QApplication>
#include <QImage>
#include <array>
#include <cstdio>
#include <string>

#include "app/program.h"
#include "app/settings.h"
#include "first_frame.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "1");
  std::array<char, 17> name{"vorel_screenshot"};
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  int qtArgc = 1;
  const QApplication application(qtArgc, qtArgv.data());

  ui::qt::QtDriver driver;
  ui::Application program(driver, std::string(app::settings::kTitle));
  app::registerForms(program);
  const QImage frame = qt_testing::gameFirstFrame(driver, program);
  if (frame.isNull()) {
    std::fprintf(stderr, "%s: the game ended before its first frame\n", argv[0]);
    return 1;
  }
  if (!frame.save(output, "PNG")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
