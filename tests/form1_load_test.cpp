#include <gtest/gtest.h>

#include "support/game_fixture.h"

namespace {

using testing_support::GameFixture;

using GameWindow = GameFixture;

// Where each control is drawn and which takes clicks the Qt tests show on the
// real window; this is the state the load leaves.
TEST_F(GameWindow, LoadsWithTheWholeColumnBeforeItIsShown) {
  ASSERT_TRUE(app.start(game::Form1::kName));
  game::Form1& f = game();
  ASSERT_TRUE(driver.isShown(f));
  EXPECT_EQ(f.l().count(), 120U);
  for (std::int16_t i = 0; i < 120; ++i) {
    EXPECT_EQ(f.l()(i).left(), 3360.0F + 500.0F * static_cast<float>(i)) << i;
    EXPECT_TRUE(f.l()(i).visible()) << i;
  }
  EXPECT_FALSE(f.l().contains(120));
  EXPECT_EQ(f.h().caption(), "118");
  for (const ui::Visual* hidden :
       std::initializer_list<const ui::Visual*>{&f.d(), &f.e(), &f.k(), &f.h()}) {
    EXPECT_FALSE(hidden->visible()) << hidden->name();
  }
  EXPECT_TRUE(driver.boxes().empty());
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
