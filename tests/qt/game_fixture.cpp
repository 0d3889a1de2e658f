#include "game_fixture.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>
#include <string>
#include <vector>

#include "about/linux_services.h"

namespace qt_testing {

FrameRecorder::FrameRecorder(QWidget& window) : window_(&window) {
  window.installEventFilter(this);
}

FrameRecorder::~FrameRecorder() = default;

bool FrameRecorder::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::Paint) {
    return false;
  }
  // Paint now, then look at the result before anything else can change it.
  const QRegion region = static_cast<QPaintEvent*>(event)->region();
  if (beforePaint) {
    beforePaint();
  }
  static_cast<QObject*>(window_)->event(event);
  frames.push_back(Frame{region, onScreen(*window_)});
  return true;
}

::testing::AssertionResult drawnAt(const QImage& frame, const ui::Picture& picture, QPoint at) {
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const QRgb want =
          picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                         static_cast<std::size_t>(x)] |
          0xFF000000;
      const QRgb got = frame.pixel(at.x() + x, at.y() + y);
      if (got != want) {
        return ::testing::AssertionFailure() << picture.name << " pixel (" << x << "," << y
                                             << ") is " << std::hex << got << ", want " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

QImage onScreen(QWidget& window) {
  return QGuiApplication::primaryScreen()
      ->grabWindow(window.winId())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

GameFixture::GameFixture() {
  app.registerForm(game::Form1::kName,
                   [](ui::Application& a) { return std::make_unique<game::Form1>(a); });
  app.registerForm(about::FrmAbout::kName, [](ui::Application& a) {
    return std::make_unique<about::FrmAbout>(
        a, std::make_unique<about::LinuxServices>(std::vector<std::string>{}));
  });
}

QWidget* GameFixture::gameWindow() {
  const ui::Form* form = app.loadedForm(game::Form1::kName);
  return form == nullptr ? nullptr : driver.window(*form);
}

QWidget* GameFixture::aboutWindow() {
  const ui::Form* form = app.loadedForm(about::FrmAbout::kName);
  return form == nullptr ? nullptr : driver.window(*form);
}

void GameFixture::startGame() {
  ASSERT_TRUE(app.start(game::Form1::kName));
  QWidget* window = gameWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void GameFixture::click(QWidget& window, QPoint at) {
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
}

void GameFixture::clickAboutBar() {
  QWidget* window = gameWindow();
  ASSERT_NE(window, nullptr);
  click(*window, {396, 64});
}

void GameFixture::type(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWindow* active = QGuiApplication::focusWindow();
  ASSERT_NE(active, nullptr);
  QTest::keyClick(active, key, modifiers);
}

void GameFixture::type(char character) {
  QWindow* active = QGuiApplication::focusWindow();
  ASSERT_NE(active, nullptr);
  QTest::keyClick(active, character);
}

void GameFixture::runTicks(int ticks) {
  for (int i = 0; i < ticks; ++i) {
    app.dispatch([this] { game().handleTick(game().Timer1()); });
  }
}

bool GameFixture::waitForTick() {
  const float before = game().l()(0).left();
  return QTest::qWaitFor([&] { return app.ended() || game().l()(0).left() != before; }, 5000);
}

}  // namespace qt_testing
