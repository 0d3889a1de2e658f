// What the drivers only carry out, decided in the model: what a key types,
// where the focus goes, and where a label's lines are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/game_fixture.h"
#include "ui/paint.h"
#include "ui/text_layout.h"

namespace {

using ui::Key;
using ui::KeyStroke;
using Windows = testing_support::GameFixture;

// What the real keyboards cannot be made to type in a test: the layout's text
// that the table overrides, or that it passes on.
TEST_F(Windows, TheGameWindowTypesTheCodesOfTheWindowsKeyboard) {
  const struct {
    KeyStroke stroke;
    std::u16string text;  // what the layout composes, where the model leaves it to the layout
    const char* echo;
  } keys[] = {
      {{Key::Character, '2', {true, true}}, u"", "0"},
      {{Key::Character, '-', {true, true}}, u"", "31"},
      {{Key::Character, '[', {.ctrl = true}}, u"", "27"},
      {{Key::Character, '\\', {.ctrl = true}}, u"", "28"},
      {{Key::Character, ']', {.ctrl = true}}, u"", "29"},
      {{Key::Character, 'Q', {.ctrl = true, .alt = true}}, u"@", "64"},  // AltGr: the layout's
      {{Key::Character, '6', {true, true}}, u"", "30"},
      {{Key::Delete}, u"\x7f", "30"},
      {{Key::Character, '1', {.ctrl = true}}, u"1", "30"},
      {{Key::Character, 'Q'}, u"q", "113"},
  };
  for (const auto& key : keys) {
    driver.press(f(), key.stroke, key.text);
    EXPECT_EQ(f().keyEcho().caption(), key.echo) << key.echo;
  }
}

// A screen reader learns what lies on top where the player points, and
// presses only what the player could press, after its own call is over.
TEST_F(Windows, AScreenReaderFindsTheItemOnTopAndPressesWhatThePlayerCould) {
  driver.press(f(), {Key::Help});
  about::AboutWindow& about = this->about();
  EXPECT_EQ(about.accessibleWindow().name, "About vorel");
  const ui::AccessibleItem* over = about.accessibleItemAt(100, 75);  // the note over the version
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(over->control, &about.note());
  ASSERT_NE(about.accessibleItemAt(95, 75), nullptr);  // the pixel left of the note
  EXPECT_EQ(about.accessibleItemAt(95, 75)->control, &about.versionLabel());
  ASSERT_NE(about.accessibleItemAt(58, 131), nullptr);
  EXPECT_EQ(about.accessibleItemAt(58, 131)->control, &about.okButton());
  EXPECT_EQ(about.accessibleItemAt(351, 75), nullptr);  // past the client area

  EXPECT_FALSE(app.accessiblePress(about, &about.note()));  // text is not pressed
  driver.answerBoxesWith([&](const auto&) {                 // a box holds every window
    EXPECT_FALSE(app.accessiblePress(about, &about.okButton()));
  });
  ASSERT_TRUE(app.accessiblePress(about, &about.systemInfoButton()));
  EXPECT_TRUE(driver.boxes().empty());  // not inside the reader's call
  driver.runPosted();
  EXPECT_EQ(driver.boxes().size(), 1U);

  ASSERT_TRUE(app.accessiblePress(about, &about.okButton()));
  ASSERT_TRUE(app.accessiblePress(about, &about.okButton()));  // twice: the second finds it gone
  ASSERT_TRUE(app.accessiblePress(f(), &f().aboutBar()));
  driver.runPosted();  // OK closes the window and resumes; the bar opens it anew
  EXPECT_TRUE(about.loaded() && f().gameTimer().interval() == 0);
  EXPECT_EQ(driver.released(), 1);
  f().unload();
  EXPECT_FALSE(app.accessiblePress(f(), &f().aboutBar()));
}

// Text breaks at its line ends and between words, the lines stack down from
// the box's top, and text that reads right to left starts at the right edge.
TEST(TextLayout, LinesBreakAtLineEndsAndWordsAndStartWhereTheTextReads) {
  struct : ui::TextMeasure {  // six pixels a character, lines 15 apart
    int width(std::string_view text, const ui::FontFace& /*face*/) override {
      return 6 * static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
             }));
    }
    int lineHeight(const ui::FontFace& /*face*/) override { return 15; }
  } measure;
  const ui::PixelRect box{10, 20, 60, 45};  // ten characters wide, three lines high
  const auto lay = [&](std::string_view text, ui::Alignment alignment, bool rightToLeft) {
    return ui::layOutText(text, box, {}, alignment, rightToLeft, measure);
  };
  const ui::TextLayout note = lay("ab cd\r\nef gh ij kl\r", ui::Alignment::Left, false);
  ASSERT_EQ(note.lines.size(), 3U);
  EXPECT_TRUE(note.lines[0].text == "ab cd" && note.lines[1].text == "ef gh ij" &&
              note.lines[2].text == "kl");
  EXPECT_TRUE(note.lines[2].x == 10 && note.lines[2].y == 50 && note.fits);
  EXPECT_FALSE(lay("a\nb\nc\nd", ui::Alignment::Left, false).fits);
  EXPECT_EQ(lay("abcd fghij", ui::Alignment::Left, false).lines.size(), 1U);  // just as wide
  EXPECT_EQ(lay("لقد خسرة", ui::Alignment::Left, true).lines.at(0).x, 70 - 8 * 6);
  EXPECT_EQ(lay("ab", ui::Alignment::Center, false).lines.at(0).x, 10 + (60 - 12) / 2);
}

}  // namespace

namespace {

// One '&' marks the access key, "&&" is an ampersand; native buttons read the
// marks back the same way.
TEST(Captions, ASingleAmpersandMarksTheAccessKeyAndTwoShowOne) {
  const struct {
    const char* designed;
    const char* text;
    std::size_t at;
    char32_t key;
  } captions[] = {{"System &Info...", "System Info...", 7, 'I'},
                  {"Fish && &chips", "Fish & chips", 7, 'C'},
                  {"&&&x&y", "&xy", 1, 'X'},
                  {"OK", "OK", std::string::npos, 0},
                  {"end&", "end", std::string::npos, 0}};
  for (const auto& caption : captions) {
    const ui::ShownCaption shown = ui::shownCaption(caption.designed);
    EXPECT_EQ(shown.text, caption.text);
    EXPECT_EQ(shown.accessKeyAt, caption.at) << caption.designed;
    EXPECT_EQ(shown.accessKey, caption.key) << caption.designed;
    EXPECT_EQ(ui::shownCaption(ui::markedCaption(shown)).text, shown.text);
    EXPECT_EQ(ui::shownCaption(ui::markedCaption(shown)).accessKeyAt, shown.accessKeyAt);
  }
}

}  // namespace
