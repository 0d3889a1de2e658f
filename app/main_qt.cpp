#include <QApplication>
#include <QString>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "app/program.h"
#include "app/settings.h"
#include "ui/qt/qt_driver.h"

namespace {

// Qt's messages while the application is constructed. Qt ends the program
// with a fatal message, and so a core dump, when its platform plugin cannot
// start: that is what no display looks like, and it gets one line and
// status 1 like any other refusal at start-up. Anything else waits here
// until the application stands, then goes out as Qt would have written it.
std::vector<QString> startupMessages;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fputs("vorel: no display could be opened\n", stderr);
    std::_Exit(1);
  }
  startupMessages.push_back(qFormatLogMessage(type, context, text));
}

}  // namespace

int main() {
  // The program reads no command line: Qt sees the program's name only.
  std::array<char, app::settings::kExecutable.size() + 1> name{};
  app::settings::kExecutable.copy(name.data(), app::settings::kExecutable.size());
  std::array<char*, 2> argv{name.data(), nullptr};
  int argc = 1;
  const QtMessageHandler qtHandler = qInstallMessageHandler(holdStartupMessage);
  const QApplication application(argc, argv.data());
  qInstallMessageHandler(qtHandler);
  for (const QString& message : startupMessages) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
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
