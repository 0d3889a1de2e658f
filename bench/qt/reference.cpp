// The least Qt program that shows a window like the game's: a plain widget
// with a client area of 792 x 72 pixels, titled "Game". The start-up report
// measures vorel against it.

#include <QApplication>
#include <QWidget>
#include <array>

int main() {
  std::array<char, 16> name{"vorel_reference"};
  std::array<char*, 2> argv{name.data(), nullptr};
  int argc = 1;
  const QApplication application(argc, argv.data());
  QWidget window;
  window.setWindowTitle(QStringLiteral("Game"));
  window.resize(792, 72);
  window.show();
  return QApplication::exec();
}
