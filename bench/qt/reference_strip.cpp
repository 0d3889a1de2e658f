// The plainest Qt Widgets program that shows what the game window shows while
// playing: the black strip, the ship, a column of 120 enemies marching in from
// the right by 100 twips (6.7 pixels) every 55 ms, and the "About" bar with
// its caption. The space bar fires as in the game: the next step hides the
// nearest enemy once it has come within reach. The report measures the game's
// CPU while playing as a ratio to this program's, taken in turns.

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <array>
#include <cmath>

#include "assets/pictures.h"

namespace {

constexpr int kEnemies = 120;
constexpr int kTop = 16;
constexpr double kReach = 2370;  // twips: the ship's left + the shot's flight

QImage toImage(const ui::Picture& picture) {
  return {reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
          picture.width * 4, QImage::Format_RGB32};
}

class Strip final : public QWidget {
 public:
  Strip() {
    setWindowTitle(QStringLiteral("Game"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(792, 72);
    for (int i = 0; i < kEnemies; ++i) {
      left_[i] = 3360 + 500.0 * i;
      shown_[i] = true;
    }
    startTimer(55, Qt::PreciseTimer);
  }

 protected:
  void timerEvent(QTimerEvent* /*event*/) override {
    bool nearest = true;
    for (int i = 0; i < kEnemies; ++i) {
      left_[i] -= 100;
      if (shown_[i] && nearest) {
        nearest = false;
        shown_[i] = left_[i] > reach_;
      }
    }
    reach_ = 0;
    update(0, kTop, width(), enemy_.height());
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Space) {
      reach_ = kReach;
    }
  }

  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(24, kTop, ship_);
    for (int i = 0; i < kEnemies; ++i) {
      const QRect box(static_cast<int>(std::lround(left_[i] / 15)), kTop, 32, 35);
      if (shown_[i] && box.intersects(event->rect())) {
        painter.drawImage(box.topLeft(), enemy_);
      }
    }
    const QRect bar(0, 56, 793, 17);
    if (bar.intersects(event->rect())) {
      painter.fillRect(bar, Qt::cyan);
      QFont font(QStringLiteral("Sans Serif"));
      font.setPixelSize(16);  // 12 points at 96 dpi
      font.setBold(true);
      font.setItalic(true);
      painter.setFont(font);
      painter.drawText(bar, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("About"));
    }
  }

 private:
  QImage ship_ = toImage(assets::ship());
  QImage enemy_ = toImage(assets::enemy());
  std::array<double, kEnemies> left_{};
  std::array<bool, kEnemies> shown_{};
  double reach_ = 0;
};

}  // namespace

int main() {
  std::array<char, 16> name{"vorel_reference"};
  std::array<char*, 2> argv{name.data(), nullptr};
  int argc = 1;
  const QApplication application(argc, argv.data());
  Strip window;
  window.show();
  return QApplication::exec();
}
