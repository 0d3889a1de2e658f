#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

#include "about/frm_about.h"
#include "game/form1.h"
#include "qt_fixture.h"

namespace qt_testing {

// What a window has painted: each paint's region, and the window's content as
// it stood in its backing store right after that paint, as the screen shows it.
class FrameRecorder final : public QObject {
 public:
  struct Frame {
    QRegion region;
    QImage image;
  };

  explicit FrameRecorder(QWidget& window);
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;
  FrameRecorder(FrameRecorder&&) = delete;
  FrameRecorder& operator=(FrameRecorder&&) = delete;
  ~FrameRecorder() override;

  std::vector<Frame> frames;
  // Called as each paint begins, to note what the model then holds.
  std::function<void()> beforePaint;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

// True when the picture lies unchanged in the frame with its top-left pixel at `at`.
::testing::AssertionResult drawnAt(const QImage& frame, const ui::Picture& picture, QPoint at);

// The window's content as the screen shows it (its backing store), not
// painted afresh as QWidget::grab() would.
QImage onScreen(QWidget& window);

// The program with both of its windows on the Qt driver. The About window's
// launcher is the Linux one with nothing to find: no system-information tool.
class GameFixture : public QtFixture {
 protected:
  GameFixture();

  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  about::FrmAbout& about() { return app.form<about::FrmAbout>(about::FrmAbout::kName); }
  // The windows of the loaded forms; nullptr for a form that is not loaded.
  QWidget* gameWindow();
  QWidget* aboutWindow();

  // Starts the program and waits until the game window is on screen and active.
  void startGame();
  // A click of the left button, delivered to the window as the window system does.
  static void click(QWidget& window, QPoint at);
  void clickAboutBar();
  // Keys typed on the keyboard: they reach whichever window is active.
  static void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  static void type(char character);
  // Runs the game tick's handler this many times at once, as the timer would,
  // to bring the column where a test wants it.
  void runTicks(int ticks);
  // Waits for the next tick of Timer1 that reaches the handler (the column moves).
  bool waitForTick();
};

}  // namespace qt_testing
