#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "assets/pictures.h"
#include "game_fixture.h"

namespace {

using qt_testing::boundsOf;
using qt_testing::drawnAt;
using qt_testing::FrameRecorder;
using qt_testing::onScreen;

constexpr QRgb kEnemyPurple = 0xFFB7038A;
constexpr QRgb kShotWhite = 0xFFF2FAFA;

bool hasPixel(const QImage& frame, const QRect& area, QRgb colour) {
  return !boundsOf(frame, area, [&](QRgb p) { return p == colour; }).isEmpty();
}

class GameWindow : public qt_testing::GameFixture {
 protected:
  // Stops both timers as the About window's pause does, so the scene holds still.
  void holdStill() {
    app.dispatch([this] {
      game().Timer1().setInterval(0);
      game().Timer2().setInterval(0);
    });
  }
  [[nodiscard]] QRect placeOf(std::int16_t element) {
    const ui::PixelRect r = game().l()(element).pixelRect();
    return {r.x, r.y, r.width, r.height};
  }
};

// The enemy a shot hides is gone from the screen; its neighbour is not.
TEST_F(GameWindow, ASpaceBarPressHidesTheNearestEnemyAtTheNextTick) {
  startGame();
  runTicks(12);  // element 0 at 2160 twips: within the reach of a shot from now on
  type(Qt::Key_Space);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !game().l()(0).visible(); }, 5000));
  holdStill();
  QTest::qWait(100);
  const QImage frame = onScreen(*gameWindow());
  EXPECT_FALSE(hasPixel(frame, placeOf(0), kEnemyPurple));
  EXPECT_TRUE(drawnAt(frame, assets::enemy(), placeOf(1).topLeft()));
  EXPECT_TRUE(drawnAt(frame, assets::ship(), {24, 16}));
}

TEST_F(GameWindow, TheDefeatBoxShowsOverTheWreckAndOkEndsTheProgram) {
  bool wreckOnScreen = false;
  bool clockArmed = true;
  bool columnHeld = false;
  const int status = runProgram([&] {
    startGame();
    // Element 0 comes within 880 twips of the ship at the next tick. The shot
    // hides it in that very pass, which does not save the ship.
    runTicks(21);
    answerBoxes({}, [&] {
      wreckOnScreen = QTest::qWaitFor(
          [&] {
            return drawnAt(onScreen(*gameWindow()), assets::defeat(), {24, 16});
          },
          5000);
      clockArmed = driver.armed(game().Timer1()) || driver.waking();
      const float column = game().l()(1).left();
      QTest::qWait(6 * 55);
      columnHeld = game().l()(1).left() == column;
    });
    type(Qt::Key_Space);
  });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(seenBoxes.size(), 1U);
  EXPECT_EQ(seenBoxes[0].title, "vorel");
  EXPECT_EQ(seenBoxes[0].text, QStringLiteral("لقد خسرة"));
  EXPECT_EQ(seenBoxes[0].direction, Qt::RightToLeft);
  EXPECT_EQ(seenBoxes[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(seenBoxes[0].buttons, 1);
  EXPECT_TRUE(wreckOnScreen);
  EXPECT_FALSE(clockArmed);
  EXPECT_TRUE(columnHeld);
  EXPECT_EQ(gameWindow(), nullptr);
  EXPECT_EQ(driver.armedTimers(), 0U);
}

TEST_F(GameWindow, TheShotIsNeverSeenHoweverOftenItIsFired) {
  answerBoxes();
  startGame();
  QWidget& window = *gameWindow();
  FrameRecorder recorder(window);
  std::vector<bool> shotShown;
  recorder.beforePaint = [&] { shotShown.push_back(game().k().visible()); };
  for (int press = 0; press < 12 && !app.ended(); ++press) {
    type(Qt::Key_Space);
    QTest::qWait(30);
  }
  ASSERT_FALSE(app.ended());
  ASSERT_FALSE(recorder.frames.empty());
  const QRect track(0, 16, 792, 40);
  bool trackRepainted = false;
  for (std::size_t i = 0; i < recorder.frames.size(); ++i) {
    const auto& frame = recorder.frames[i];
    EXPECT_FALSE(shotShown[i]) << "paint " << i;
    EXPECT_FALSE(hasPixel(frame.image, track, kShotWhite)) << "frame " << i;
    trackRepainted = trackRepainted || frame.region.contains(QRect(91, 32, 2, 3));  // the muzzle
  }
  // Shown and hidden again within each press, the shot changes nothing on
  // screen, so its way is not even repainted.
  EXPECT_FALSE(trackRepainted);
}

TEST_F(GameWindow, ATickRepaintsTheColumnsOldAndNewPlacesOnly) {
  startGame();
  QWidget& window = *gameWindow();
  FrameRecorder recorder(window);
  std::vector<int> fronts;  // element 0's x at each paint
  recorder.beforePaint = [&] { fronts.push_back(placeOf(0).x()); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.frames.size() >= 4; }, 5000));
  holdStill();
  for (std::size_t i = 0; i < recorder.frames.size(); ++i) {
    // From the nearest enemy's new place to the window's edge, over the rows
    // of the enemies (35 pixels high); never the ship, the sky or the bar.
    // The first tick also takes the end marker (41 pixels high) from its
    // design place out of sight; after that its moves are never seen.
    const QRect moved(fronts[i], 16, 792 - fronts[i], i == 0 ? 41 : 35);
    EXPECT_EQ(recorder.frames[i].region, QRegion(moved)) << "paint " << i;
  }
}

}  // namespace
