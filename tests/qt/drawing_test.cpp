#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "qt_fixture.h"
#include "ui/controls.h"

namespace {

using qt_testing::boundsOf;
using qt_testing::QtFixture;
using qt_testing::snapshot;

constexpr QRgb kGround = 0xFFC0C0C0;
constexpr QRgb kWhite = 0xFFFFFFFF;

bool isInk(QRgb pixel) {
  return QColor(pixel).lightness() < 160;
}

class Drawing : public QtFixture {
 protected:
  Drawing() {
    EXPECT_TRUE(app.start(qt_testing::TestForm::kName));
    win = window(testForm());
  }
  QImage withText(std::string_view caption) {
    app.dispatch([&] { testForm().text->setCaption(caption); });
    return snapshot(*win);
  }
  QWidget* win = nullptr;
};

TEST_F(Drawing, StretchedPicturesKeepCrispPixelsAndAreClippedAtTheEdge) {
  ASSERT_NE(win, nullptr);
  QImage frame = snapshot(*win);
  ASSERT_EQ(frame.size(), QSize(200, 100));
  // Each source pixel becomes a solid 15 x 15 block: no blending at the seams.
  struct Block {
    int x;
    int y;
    QRgb colour;
  };
  for (const Block b : {Block{15, 15, 0xFFFF0000}, Block{30, 15, 0xFF00FF00},
                        Block{15, 30, 0xFF0000FF}, Block{30, 30, kWhite}}) {
    EXPECT_TRUE(
        boundsOf(frame, {b.x, b.y, 15, 15}, [&](QRgb p) { return p != b.colour; }).isEmpty())
        << b.x << "," << b.y;
  }
  // The hidden image leaves the ground alone.
  EXPECT_TRUE(boundsOf(frame, {160, 0, 40, 80}, [](QRgb p) { return p != kGround; }).isEmpty());

  // Half outside the window: only the right half of the picture shows.
  app.dispatch([&] { testForm().image->setLeft(-225); });
  frame = snapshot(*win);
  EXPECT_EQ(frame.pixel(0, 15), 0xFF00FF00);
  EXPECT_EQ(frame.pixel(14, 44), kWhite);
  EXPECT_EQ(frame.pixel(15, 15), kGround);
}

TEST_F(Drawing, LabelTextBreaksAtLineEndsWrapsAndStaysInItsBox) {
  ASSERT_NE(win, nullptr);
  const QRect box(60, 0, 100, 60);
  const QRect rightOfBox(160, 0, 40, 80);
  const auto inkIn = [](const QImage& frame, const QRect& area) {
    return boundsOf(frame, area, isInk);
  };

  QImage frame = withText("One");
  const QRect one = inkIn(frame, box);
  ASSERT_FALSE(one.isEmpty());
  EXPECT_LT(one.left(), box.left() + 4);  // left aligned by design
  EXPECT_TRUE(inkIn(frame, {60, one.bottom() + 4, 100, 20}).isEmpty());

  // CR LF starts a new line, at the left again; no glyph for the break itself.
  frame = withText("One\r\nTwo");
  const QRect first = inkIn(frame, {60, 0, 100, one.bottom() + 1});
  const QRect second = inkIn(frame, {60, one.bottom() + 2, 100, 20});
  ASSERT_FALSE(second.isEmpty());
  EXPECT_EQ(first, one);
  EXPECT_LT(second.left(), box.left() + 4);

  // Words wrap inside the box; a word too long for it is cut at its edge.
  frame = withText("alpha beta gamma delta epsilon zeta eta theta");
  EXPECT_GT(inkIn(frame, box).height(), 2 * one.height());
  EXPECT_TRUE(inkIn(frame, rightOfBox).isEmpty());
  frame = withText("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  EXPECT_GT(inkIn(frame, box).right(), box.right() - 4);
  EXPECT_TRUE(inkIn(frame, rightOfBox).isEmpty());
  EXPECT_EQ(frame.pixel(box.right() + 1, one.center().y()), kGround);
}

TEST_F(Drawing, ArabicTextIsLaidOutFromTheRight) {
  ASSERT_NE(win, nullptr);
  const QRect box(60, 0, 100, 60);
  const QRect ink = boundsOf(withText("لقد خسرة"), box, isInk);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GT(ink.right(), box.right() - 4);
  EXPECT_GT(ink.left(), box.left() + 20);
}

}  // namespace
