#include "first_frame.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include "app/program.h"
#include "assets/pictures.h"
#include "game/form1.h"
#include "game_fixture.h"

namespace {

using qt_testing::boundsOf;
using qt_testing::drawnAt;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kCyan = 0xFF00FFFF;
constexpr QRgb kYellow = 0xFFFFFF00;

class GameFirstFrame : public ::testing::Test {
 protected:
  GameFirstFrame() { app::registerForms(app); }

  ui::qt::QtDriver driver;
  ui::Application app{driver, "vorel"};
};

TEST_F(GameFirstFrame, ShowsTheSceneAsDesigned) {
  const QImage frame = qt_testing::gameFirstFrame(driver, app);
  ASSERT_FALSE(frame.isNull());
  ASSERT_EQ(frame.size(), QSize(792, 72));

  EXPECT_TRUE(drawnAt(frame, assets::ship(), {24, 16}));
  EXPECT_TRUE(drawnAt(frame, assets::enemy(), {224, 16}));

  // The end marker's flag, stretched to 105 x 41, and nowhere else.
  const QRect flag = boundsOf(frame, frame.rect(), [](QRgb p) { return p == kYellow; });
  EXPECT_FALSE(flag.isEmpty());
  EXPECT_TRUE(QRect(296, 16, 105, 41).contains(flag))
      << flag.x() << "," << flag.y() << " " << flag.width() << "x" << flag.height();

  // Nothing above the row, and nothing left of the ship, where the hidden
  // defeat picture would show.
  EXPECT_TRUE(boundsOf(frame, {0, 0, 792, 16}, [](QRgb p) { return p != kBlack; }).isEmpty());
  EXPECT_TRUE(boundsOf(frame, {0, 16, 24, 40}, [](QRgb p) { return p != kBlack; }).isEmpty());

  // The "About" bar: cyan from row 56 down across the whole width, but for its
  // text and the flag's last row, which lies on the bar's first.
  const QRect bar(0, 56, 792, 16);
  const QRect flagRow(296, 56, 105, 1);
  const QRect ink = boundsOf(frame, bar, [](QRgb p) { return p != kCyan; });
  const QRect text = boundsOf(frame, {0, 57, 792, 15}, [](QRgb p) { return p != kCyan; });
  EXPECT_TRUE(flagRow.united(text).contains(ink));
  ASSERT_FALSE(text.isEmpty());
  EXPECT_NEAR(text.center().x(), 396, 4);
  EXPECT_GT(text.width(), 30);
  EXPECT_LT(text.width(), 80);
  const QRect dark = boundsOf(frame, text, [](QRgb p) { return QColor(p).lightness() < 64; });
  EXPECT_FALSE(dark.isEmpty());
}

TEST_F(GameFirstFrame, WindowTakesItsDesign) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  QWidget* window = driver.window(app.form(game::Form1::kName));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Game");
  EXPECT_EQ(window->geometry(), QRect(4, 183, 792, 72));
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(window->windowIcon().availableSizes().size(), 2);
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_NE(window->minimumSize(), window->maximumSize());  // resizable
}

}  // namespace
