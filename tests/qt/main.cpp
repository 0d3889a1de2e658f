#include <gtest/gtest.h>

#include <QApplication>
#include <array>

// Discovery runs this binary without the tests' environment: no display is
// assumed, and pixels are device pixels only at scale 1.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
    qputenv("QT_SCALE_FACTOR", "1");
  }
  ::testing::InitGoogleTest(&argc, argv);
  std::array<char, 9> name{"qt_tests"};
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  int qtArgc = 1;
  const QApplication application(qtArgc, qtArgv.data());
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
