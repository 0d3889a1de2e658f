// The least Qt program that shows a window like the game's and draws one line
// of text in it: the "About" bar, cyan, with its caption in a 12-point bold
// italic sans-serif face. Text brings in the shaping and rendering libraries
// and a font file, which the plain reference never touches; measured against
// this one, the start-up report shows what the game costs beyond drawing text.

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <array>

namespace {

class Window final : public QWidget {
 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect bar(0, 56, 793, 17);
    painter.fillRect(bar, Qt::cyan);
    painter.setFont(QFont(QStringLiteral("Sans Serif"), 12, QFont::Bold, true));
    painter.drawText(bar, Qt::AlignHCenter, QStringLiteral("About"));
  }
};

}  // namespace

int main() {
  std::array<char, 21> name{"vorel_reference_text"};
  std::array<char*, 2> argv{name.data(), nullptr};
  int argc = 1;
  const QApplication application(argc, argv.data());
  Window window;
  window.setWindowTitle(QStringLiteral("Game"));
  window.resize(792, 72);
  window.show();
  return QApplication::exec();
}
