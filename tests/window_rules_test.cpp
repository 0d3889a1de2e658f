// What the drivers only carry out, decided in the model: what a key types,
// where the focus goes, what a paint draws where, and whom a box belongs to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assets/pictures.h"
#include "support/game_fixture.h"

namespace {

using ui::Key;
using ui::KeyResult;
using ui::KeyStroke;
using ui::headless::Drawn;
using Windows = testing_support::GameFixture;

// What the real keyboards cannot be made to type in a test: the layout's text
// that the table overrides, or that it passes on.
TEST_F(Windows, TheGameWindowTypesTheCodesOfTheWindowsKeyboard) {
  const struct {
    KeyStroke stroke;
    std::u16string text;  // what the layout composes, where the model leaves it to the layout
    const char* echo;
  } keys[] = {
      {{Key::Character, '6', {true, true}}, u"", "30"},
      {{Key::Delete}, u"\x7f", "30"},
      {{Key::Character, '1', {.ctrl = true}}, u"1", "30"},
      {{Key::Character, 'Q'}, u"q", "113"},
      {{Key::Other}, u"\U0001F600", "-8704"},  // a key press for each half, the low one last
  };
  for (const auto& key : keys) {
    driver.press(f(), key.stroke, key.text);
    EXPECT_EQ(f().keyEcho().caption(), key.echo) << key.echo;
  }
  EXPECT_EQ(driver.press(f(), {Key::Character, 'S', {.alt = true}}, u"s"), KeyResult::System);
  EXPECT_EQ(f().keyEcho().caption(), "-8704");
}

// Keys are the buttons' in a dialog: the focus moves with Tab and the default
// frame with it, Enter clicks the framed button, access keys want Alt.
TEST_F(Windows, TheAboutWindowsKeysClickItsButtonsAndTheFrameFollowsTheFocus) {
  driver.press(f(), {Key::Help});
  about::AboutWindow& about = this->about();
  ui::CommandButton* ok = &about.okButton();
  ui::CommandButton* info = &about.systemInfoButton();
  EXPECT_TRUE(about.focus() == ok && about.framedButton() == ok);
  driver.press(about, {Key::Tab});
  EXPECT_TRUE(about.focus() == info && about.framedButton() == info);
  driver.press(about, {Key::Enter});
  ASSERT_EQ(driver.boxes().size(), 1U);
  EXPECT_TRUE(driver.boxes()[0].owner == &about && !driver.boxes()[0].rightToLeft);
  EXPECT_EQ(driver.press(about, {Key::Character, 'X', {.alt = true}}), KeyResult::System);
  driver.press(about, {Key::Tab, 0, {.shift = true}});
  EXPECT_EQ(about.focus(), ok);
  driver.press(about, {Key::Escape});
  EXPECT_FALSE(about.loaded() || f().gameTimer().interval() == 0);
  EXPECT_EQ(driver.released(), 1);  // the window goes once its own event is over
}

const Drawn* find(const std::vector<Drawn>& drawn, auto&& which) {
  const auto found = std::find_if(drawn.begin(), drawn.end(), which);
  return found == drawn.end() ? nullptr : &*found;
}
const Drawn* picture(const std::vector<Drawn>& drawn, const ui::Picture& picture) {
  return find(drawn, [&](const Drawn& item) { return item.picture == &picture; });
}

// What the driver scenarios cannot show on the real drivers: a picture that
// does not fill its size draws nothing; text comes in placed lines, without
// line ends, in the direction it reads.
TEST_F(Windows, APaintHandsTheDriverPlacedPicturesAndLines) {
  const std::vector<Drawn> scaled = driver.paint(f(), {0, 0, 1188, 108}, 144);
  EXPECT_EQ(picture(scaled, assets::ship())->rect, (ui::PixelRect{36, 24, 92, 51}));
  const ui::Picture torn{"torn", 61, 34, assets::ship().pixels.first(60)};
  arrange([&] { f().ship().setPicture(&torn); });
  EXPECT_EQ(picture(driver.paint(f(), {0, 0, 792, 72}), torn), nullptr);  // drawn as nothing

  driver.press(f(), {Key::Help});
  ui::Label& note = about().note();
  const auto lines = [&] {
    std::vector<Drawn> text = driver.paint(about(), note.pixelRect());
    std::erase_if(text, [&](const Drawn& item) {
      return item.kind != Drawn::Kind::Text || item.rect != note.pixelRect();
    });
    return text;
  };
  arrange([&] { note.setCaption("ab cd\r\nef\r"); });  // 6-pixel letters, 177 pixels wide
  std::vector<Drawn> text = lines();
  ASSERT_EQ(text.size(), 2U);
  EXPECT_TRUE(text[0].text == "ab cd" && text[1].text == "ef" && text[1].y == text[0].y + 15);
  arrange([&] { note.setCaption("لقد خسرة"); });
  text = lines();
  ASSERT_EQ(text.size(), 1U);
  EXPECT_TRUE(text[0].style.rightToLeft);
  EXPECT_EQ(text[0].x + 8 * 6, note.pixelRect().right());  // from the right edge
}

// The defeat box goes over the game window, right to left, with the wreck
// already drawn under it.
TEST_F(Windows, TheDefeatBoxBelongsToTheGameWindowOverTheWreck) {
  arrange([&] { l(0).setLeft(1260); });
  (void)driver.takeRepaints(f());
  bool wreckShown = false;
  driver.answerBoxesWith([&](const auto& box) {
    EXPECT_TRUE(box.owner == &f() && box.rightToLeft);
    const auto repaints = driver.takeRepaints(f());
    const ui::PixelRect ship = f().ship().pixelRect();
    wreckShown =
        std::any_of(repaints.begin(), repaints.end(),
                    [&](const ui::PixelRect& area) { return area.intersected(ship) == ship; }) &&
        picture(driver.paint(f(), ship), assets::defeat()) != nullptr;
  });
  ticks(1);
  EXPECT_TRUE(wreckShown);
}

}  // namespace
