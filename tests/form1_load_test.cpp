#include <gtest/gtest.h>

#include "assets/pictures.h"
#include "support/game_fixture.h"

namespace {

using testing_support::GameFixture;

using GameWindow = GameFixture;

TEST_F(GameWindow, LoadsWithTheWholeColumnBeforeItIsShown) {
  ASSERT_TRUE(app.start(game::Form1::kName));

  game::Form1& f = game();
  ASSERT_TRUE(driver.isShown(f));
  EXPECT_EQ(f.caption(), "Game");
  EXPECT_EQ(f.pixelWidth(), 792);
  EXPECT_EQ(f.pixelHeight(), 72);

  EXPECT_EQ(f.l().count(), 120U);
  for (std::int16_t i = 0; i < 120; ++i) {
    const ui::Image& element = f.l()(i);
    EXPECT_EQ(element.left(), 3360.0F + 500.0F * static_cast<float>(i)) << i;
    EXPECT_EQ(element.picture(), &assets::enemy());
    EXPECT_TRUE(element.visible()) << i;
  }
  EXPECT_FALSE(f.l().contains(120));
  EXPECT_FALSE(f.l().contains(-1));
  EXPECT_EQ(f.h().caption(), "118");
  EXPECT_FALSE(f.d().visible());
  EXPECT_FALSE(f.e().visible());
  EXPECT_FALSE(f.k().visible());
  EXPECT_FALSE(f.h().visible());
  EXPECT_EQ(f.Label1().caption(), "About");
  EXPECT_TRUE(driver.boxes().empty());

  // Everything at its design pixels, drawn in design order.
  EXPECT_EQ(f.j().pixelRect(), (ui::PixelRect{24, 16, 61, 34}));
  EXPECT_EQ(f.l()(0).pixelRect(), (ui::PixelRect{224, 16, 32, 35}));
  EXPECT_EQ(f.en().pixelRect(), (ui::PixelRect{296, 16, 105, 41}));
  EXPECT_EQ(f.Label1().pixelRect(), (ui::PixelRect{0, 56, 793, 17}));
  std::vector<std::string> names;
  f.forEachControl([&](const ui::Control& control) {
    if (names.empty() || names.back() != control.name()) {
      names.emplace_back(control.name());
    }
  });
  EXPECT_EQ(names, (std::vector<std::string>{"Timer2", "Timer1", "Label1", "en", "d", "e", "k", "h",
                                             "j", "l"}));
  // Element 17 shows only its leftmost 20 twips; 18 lies beyond the edge.
  EXPECT_LT(f.l()(17).left(), 11880.0F);
  EXPECT_GE(f.l()(18).left(), 11880.0F);
  // The bar takes clicks; the ground and the hidden echo label e do not.
  EXPECT_EQ(f.hitTest(400, 60), &f.Label1());
  EXPECT_EQ(f.hitTest(150, 5), nullptr);
  EXPECT_EQ(f.hitTest(41, 10), nullptr);
}

TEST_F(GameWindow, AFailureWhileTheColumnIsBuiltKeepsTheElementsAlreadyMade) {
  std::size_t elementsAtReport = 0;
  float lastLeft = 0;
  driver.answerBoxesWith([&](const auto&) {
    elementsAtReport = game().l().count();
    lastLeft = game().l()(50).left();
  });
  // Ten design controls, then the elements: the 51st element fails.
  app.faults().failOn(ui::Operation::CreateControl, 10 + 51);
  EXPECT_FALSE(app.start(game::Form1::kName));
  EXPECT_EQ(elementsAtReport, 51U);  // element 0 and elements 1 to 50
  EXPECT_EQ(lastLeft, 3360.0F + 500.0F * 50);
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.boxes()[0].prompt, "Error 7: Out of memory");
  EXPECT_EQ(driver.boxes()[0].title, "vorel");
  EXPECT_EQ(driver.exitStatus(), 1);
}

TEST_F(GameWindow, AFailedLookUpOrWriteEndsTheLoadAtThatStep) {
  driver.answerBoxesWith([&](const auto&) {
    // Element 3 was created and looked up, but its Left was never written.
    EXPECT_EQ(game().l().count(), 4U);
    EXPECT_EQ(game().l()(3).left(), 3360.0F);
    EXPECT_FALSE(game().l()(3).visible());
    EXPECT_EQ(game().h().caption(), "2");
  });
  // Per element: caption, Left, Visible. Element 3's Left is write 8.
  app.faults().failOn(ui::Operation::WriteProperty, 8, ui::ErrorNumber::Overflow);
  EXPECT_FALSE(app.start(game::Form1::kName));
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_EQ(driver.boxes()[0].prompt, "Error 6: Overflow");
}

}  // namespace
