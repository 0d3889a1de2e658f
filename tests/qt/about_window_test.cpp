#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "assets/pictures.h"
#include "game_fixture.h"

namespace {

using qt_testing::boundsOf;
using qt_testing::FrameRecorder;
using qt_testing::onScreen;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr int kPeriod = 55;  // ms, the shortest timer period

constexpr QLatin1String kUnavailable(about::FrmAbout::kUnavailable);

class AboutWindow : public qt_testing::GameFixture {
 protected:
  void SetUp() override {
    startGame();
    answerBoxes(kUnavailable);
  }

  // Opens the About window from the game's bar and waits until it is active.
  QWidget* open() {
    clickAboutBar();
    QWidget* window = aboutWindow();
    EXPECT_NE(window, nullptr);
    if (window != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    return window;
  }
  static QString focused() {
    const auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    return button == nullptr ? QString() : button->text();
  }
  // Whether the game stands still: no timer armed, and the column stays put
  // over several periods.
  bool paused() {
    const float column = game().l()(0).left();
    QTest::qWait(4 * kPeriod);
    return driver.armedTimers() == 0 && game().l()(0).left() == column;
  }
  // Whether OK has run: the About window is gone, both timers have their
  // Interval back, and the game ticks again (only the game tick is armed: the
  // second timer's tick has no effect, so nothing wakes for it).
  bool resumed() {
    return aboutWindow() == nullptr && game().Timer2().interval() == 1 &&
           driver.armed(game().Timer1()) && !driver.armed(game().Timer2()) && waitForTick();
  }
  // Whether System Info has run: its box came and went, the About window has
  // the keyboard back, and the game is still paused.
  bool sysInfoShown(std::size_t boxesBefore) {
    QWidget* window = aboutWindow();
    return seenBoxes.size() == boxesBefore + 1 && window != nullptr &&
           QTest::qWaitForWindowActive(window) && paused();
  }
};

TEST_F(AboutWindow, TheBarOpensOneModelessUnownedWindowAndPausesTheGame) {
  click(*gameWindow(), {150, 5});  // the ground takes no clicks
  EXPECT_EQ(aboutWindow(), nullptr);
  QWidget* window = open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "About vorel");
  EXPECT_EQ(window->parentWidget(), nullptr);
  EXPECT_EQ(window->windowModality(), Qt::NonModal);
  EXPECT_EQ(window->windowHandle()->transientParent(), nullptr);
  // A dialog-typed window is made transient for the program's windows on X11:
  // owned, and kept above the game.
  EXPECT_NE(window->windowType(), Qt::Dialog);
  EXPECT_EQ(focused(), "OK");
  EXPECT_TRUE(paused());

  // A second click brings the same window forward, its focus where it was: no
  // second window, no second load.
  const ui::CommandButton* ok = &about().cmdOK();
  type(Qt::Key_Tab);
  clickAboutBar();
  EXPECT_EQ(aboutWindow(), window);
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
  EXPECT_EQ(focused(), "&System Info...");
  EXPECT_EQ(&about().cmdOK(), ok);
  int abouts = 0;
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    abouts += top->isVisible() && top->windowTitle() == "About vorel" ? 1 : 0;
  }
  EXPECT_EQ(abouts, 1);
  EXPECT_TRUE(paused());
}

// The generic button keys are the input tests'; these are the About window's own.
TEST_F(AboutWindow, KeysClickTheButtonsAsADialogsDo) {
  open();
  type(Qt::Key_Return);  // OK has the focus when the window opens
  EXPECT_TRUE(resumed());

  open();
  type(Qt::Key_Tab);
  type(Qt::Key_Tab);  // only the two buttons take the focus
  EXPECT_EQ(focused(), "OK");
  type(Qt::Key_Tab);
  type(Qt::Key_Space);
  EXPECT_TRUE(sysInfoShown(0));
  EXPECT_EQ(focused(), "&System Info...");  // the focus stays where it was
  type(Qt::Key_Escape);                     // OK, wherever the focus is
  EXPECT_TRUE(resumed());
}

// Desktop themes often colour inactive windows apart: the pause, and the
// keys the game window takes during it, still draw nothing.
TEST_F(AboutWindow, KeysGoToTheActiveWindowOnlyAndThePauseDrawsNothing) {
  struct ThemedPalette {
    QPalette saved = QApplication::palette();
    ThemedPalette() {
      QPalette themed = saved;
      themed.setColor(QPalette::Inactive, QPalette::Window, Qt::darkGray);
      QApplication::setPalette(themed);
    }
    ThemedPalette(const ThemedPalette&) = delete;
    ThemedPalette& operator=(const ThemedPalette&) = delete;
    ThemedPalette(ThemedPalette&&) = delete;
    ThemedPalette& operator=(ThemedPalette&&) = delete;
    ~ThemedPalette() { QApplication::setPalette(saved); }
  } const theme;
  QWidget* gameWin = gameWindow();
  QTest::qWait(2 * kPeriod);
  FrameRecorder recorder(*gameWin);
  const std::string echo = game().e().caption();
  ASSERT_NE(open(), nullptr);  // the game window loses the keyboard
  type('x');
  EXPECT_EQ(game().e().caption(), echo);

  gameWin->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(gameWin));
  type('x');
  EXPECT_EQ(game().e().caption(), "120");
  type(Qt::Key_Space);  // the shot is shown and hidden again within its handler
  EXPECT_TRUE(paused());
  EXPECT_TRUE(recorder.frames.empty());
}

TEST_F(AboutWindow, LooksAsDesigned) {
  QWidget* window = open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QTest::qWait(50);
  const QImage frame = onScreen(*window);
  ASSERT_EQ(frame.size(), QSize(351, 150));

  // A fixed dialog frame: no resizing, no minimise box.
  EXPECT_EQ(window->maximumSize(), window->minimumSize());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

  QRegion ground(frame.rect());
  for (const QPushButton* button : window->findChildren<QPushButton*>()) {
    ground -= button->geometry();
  }

  const QRect note(96, 16, 177, 97);
  const QRect picture(288, 40, 55, 71);
  const QRect title(16, 56, 75, 16);
  const QRect version(16, 72, 131, 15);
  // White wherever no control stands.
  for (const QRect& r : {note, picture, title, version}) {
    ground -= r;
  }
  for (const QRect& r : ground) {
    EXPECT_TRUE(boundsOf(frame, r, [](QRgb p) { return p != kWhite; }).isEmpty())
        << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
  }

  // The note: red, wrapped over many lines and cut at the bottom of its box.
  const QRect red = boundsOf(frame, frame.rect(), [](QRgb p) { return p == kRed; });
  EXPECT_TRUE(note.contains(red));
  EXPECT_GT(red.height(), 80);
  EXPECT_GT(red.bottom(), note.bottom() - 6);
  EXPECT_GT(red.right(), note.right() - 20);
  // The version label lies on top of the note's lower left.
  EXPECT_TRUE(
      boundsOf(frame, version.intersected(note), [](QRgb p) { return p != kWhite; }).isEmpty());

  // The portrait, stretched by repeating and dropping whole pixels.
  const ui::Picture& portrait = assets::portrait();
  const QImage source(reinterpret_cast<const uchar*>(portrait.pixels.data()), portrait.width,
                      portrait.height, static_cast<qsizetype>(portrait.width) * 4,
                      QImage::Format_RGB32);
  const QImage scaled = source.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                            .convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(frame.copy(picture), scaled);
}

TEST_F(AboutWindow, ClosingTheGameLeavesTheAboutWindowWhoseOkEndsTheProgram) {
  bool aboutLived = false;
  const int status = runProgram([&] {
    QWidget* window = open();
    ASSERT_NE(window, nullptr);
    gameWindow()->windowHandle()->close();
    EXPECT_EQ(gameWindow(), nullptr);
    QTest::qWait(4 * kPeriod);
    aboutLived = !app.ended() && aboutWindow() == window && window->isVisible();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, {16 + 42, 120 + 11});
  });
  EXPECT_TRUE(aboutLived);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(app.exitStatus(), 0);
  EXPECT_TRUE(seenBoxes.empty());
}

}  // namespace
