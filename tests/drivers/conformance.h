#pragma once

// What every real driver must do, written once: each scenario runs the game on
// a driver through a probe (qt_probe.cpp, win32_probe.cpp) that gives input as
// the window system does, answers message boxes and reads back the screen. The
// probe's program finds no system-information tool.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "about/about_window.h"
#include "assets/pictures.h"
#include "frame.h"
#include "game/game_window.h"
#include "ui/application.h"
#include "ui/display_scale.h"
#include "ui/text_layout.h"
#include "ui/twips.h"

namespace conformance {

// GermanZ: the key labelled Z on a German keyboard, where the US layout has Y.
enum class Key : std::uint8_t {
  Tab,
  Enter,
  Escape,
  Backspace,
  Delete,
  Space,
  F1,
  A,
  S,
  Z,
  GermanZ
};

// A key with the modifiers held, as the user presses it.
struct Chord {
  Key key;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};
constexpr Chord kAltS{.key = Key::S, .alt = true};

// An open message box as the screen shows it, and the title of the window
// that owns it.
struct Box {
  std::string title;
  std::string text;
  std::string owner;
};
using BoxVisitor = std::function<void(const Box& box)>;

// A window as the window system shows it: its caption, where its client area
// lies on the screen, and its buttons, each with its caption in the '&' markup.
struct ShownButton {
  std::string caption;
  ui::PixelRect place;  // in the client area
  bool visible = false;
  bool operator==(const ShownButton&) const = default;
};
struct Shown {
  std::string caption;
  ui::PixelRect place;
  std::vector<ShownButton> buttons;  // in tab order
  std::string focused;               // the button with the keyboard focus; empty: the window itself
  std::string framed;                // the button with the default frame
  bool operator==(const Shown&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Shown& shown) {
  const auto place = [&out](const ui::PixelRect& r) {
    out << '(' << r.x << ',' << r.y << ' ' << r.width << 'x' << r.height << ')';
  };
  out << '"' << shown.caption << "\" ";
  place(shown.place);
  for (const ShownButton& button : shown.buttons) {
    out << " [" << button.caption << (button.visible ? " " : " hidden ");
    place(button.place);
    out << ']';
  }
  return out << " focus " << shown.focused << ", frame " << shown.framed;
}
// What the model decided that the window shows.
inline Shown decided(const ui::Form& form) {
  const ui::WindowFace& face = form.face();
  Shown shown{face.caption, face.place, {}, {}, {}};
  for (const ui::ButtonFace& button : face.buttons) {
    const std::string caption = ui::markedCaption(button.caption);
    shown.buttons.push_back({caption, button.place, button.visible});
    shown.focused = button.control == face.focus ? caption : shown.focused;
    shown.framed = button.control == face.framed ? caption : shown.framed;
  }
  return shown;
}

using testing_support::Frame;

constexpr int kBarX = 396;  // a pixel of the "About" bar
constexpr int kBarY = 64;
constexpr int kOkX = 58;  // a pixel of the About window's OK button
constexpr int kOkY = 131;

// Whether the user resizes windows on the platform: a probe says where not.
template <typename P>
constexpr bool kResizing = !requires {
  P::kWindowsKeepTheirSize;
};

template <typename P>
class Conformance : public ::testing::Test {
 protected:
  ui::Application& app() { return probe.app(); }
  game::GameWindow& game() {
    return app().template form<game::GameWindow>(game::GameWindow::kName);
  }
  about::AboutWindow* about() {
    return dynamic_cast<about::AboutWindow*>(app().loadedForm(about::AboutWindow::kName));
  }
  bool paused() { return game().gameTimer().interval() == 0; }
  float front() { return game().enemyColumn()(0).left(); }
  // Moves the column to the right, so that the ship is reached only after
  // `twips` more, and the test has the time it needs however slow the machine.
  void holdOff(float twips) {
    app().dispatch([&] {
      for (std::int16_t i = 0; i < 120; ++i) {
        game().enemyColumn()(i).setLeft(ui::offset(game().enemyColumn()(i).left(), twips));
      }
    });
  }
  void openAbout() {
    probe.click(game(), kBarX, kBarY);
    ASSERT_TRUE(
        probe.runUntil([&] { return about() != nullptr && paused() && probe.active(*about()); }));
  }

  P probe;
};

TYPED_TEST_SUITE_P(Conformance);

// The game window types what the Windows keyboard types, on every target.
TYPED_TEST_P(Conformance, KeysTypeTheWindowsKeyboardsCodesAndNothingWakesWhilePaused) {
  auto& p = this->probe;
  p.start();
  game::GameWindow& game = this->game();
  this->app().dispatch([&] {  // no enemy to end the game, or to spend the shot
    for (std::int16_t i = 0; i < 120; ++i) {
      game.enemyColumn()(i).setVisible(false);
    }
  });
  const struct {
    std::u16string_view typed;
    const char* echo;
  } typed[] = {{u"A", "65"}, {u"\u0645", "1605"}, {u"\U0001F600", "-8704"}};
  for (const auto& text : typed) {  // outside the BMP: a key press for each half, low one last
    p.type(game, text.typed);
    EXPECT_TRUE(p.runUntil([&] { return game.keyEcho().caption() == text.echo; })) << text.echo;
  }
  const struct {
    Chord chord;
    const char* echo;
  } table[] = {{{.key = Key::Tab, .shift = true}, "9"},
               {{Key::Delete}, "9"},
               {{.key = Key::A, .ctrl = true}, "1"},
               {{.key = Key::Z, .ctrl = true}, "26"},
               {{.key = Key::A}, "97"},
               {{.key = Key::GermanZ, .ctrl = true}, "26"},  // the layout's Z, not the US place
               {{Key::Enter}, "13"},
               {{.key = Key::Enter, .ctrl = true}, "10"},
               {{Key::Escape}, "27"},
               {{Key::Backspace}, "8"},
               {{.key = Key::Backspace, .ctrl = true}, "127"},
               {{Key::A}, "97"},
               {{.key = Key::Space, .ctrl = true}, "32"}};
  for (const auto& [chord, echo] : table) {
    p.press(chord);
    if (chord.key == Key::Delete) {
      p.settle();  // it types nothing
    }
    // An init-capture: clang before 16 cannot capture a structured binding.
    EXPECT_TRUE(p.runUntil([&, echo = echo] { return game.keyEcho().caption() == echo; }))
        << echo << " typed " << game.keyEcho().caption();
  }
  EXPECT_EQ(game.shot().left(), 2370.0F);  // Ctrl+Space fired
  p.press(kAltS);                          // the window system's, not a character for the game
  p.click(game, 700, 5);                   // the ground takes no click
  p.settle();
  EXPECT_EQ(game.keyEcho().caption(), "32");
  EXPECT_EQ(this->about(), nullptr);
  EXPECT_TRUE(p.waking());
  p.press({Key::F1});  // what the "About" bar does, and no character
  ASSERT_TRUE(p.runUntil([&] { return this->about() != nullptr && this->paused(); }));
  EXPECT_EQ(game.keyEcho().caption(), "32");
  EXPECT_TRUE(p.showing("Game") && p.showing("About vorel"));
  EXPECT_FALSE(p.waking());

  // The close box keeps the pause; a click on OK ends it.
  const float atPause = this->front();
  p.close(*this->about());
  ASSERT_TRUE(p.runUntil([&] { return this->about() == nullptr; }));
  p.settle();
  EXPECT_EQ(this->front(), atPause);
  EXPECT_FALSE(p.waking());
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  p.click(*this->about(), kOkX, kOkY);
  EXPECT_TRUE(p.runUntil([&] { return this->front() < atPause; }));
}

TYPED_TEST_P(Conformance, DialogKeysClickTheAboutWindowsButtons) {
  auto& p = this->probe;
  std::vector<std::string> boxes;
  p.answerBoxes([&](const Box& box) {
    boxes.push_back(box.text);
    EXPECT_EQ(box.owner, "About vorel");
    p.type(this->game(), u"x");  // the box holds the game window too, not only its owner
    p.settle();
  });
  p.start();
  this->holdOff(60000);
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  p.minimise(*this->about());  // the bar brings it back from the task bar too
  p.click(this->game(), 700, 5);
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  EXPECT_FALSE(p.minimised(*this->about()));
  p.settle();
  const auto framed = [&](const ui::CommandButton& button) {
    return p.runUntil([&] { return p.shown(*this->about()).framed == button.caption(); });
  };
  EXPECT_TRUE(framed(this->about()->okButton()));
  p.press({Key::Enter});  // OK has the focus when the window opens
  ASSERT_TRUE(p.runUntil([&] { return this->about() == nullptr && !this->paused(); }));

  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  p.press({Key::S});  // an access key wants Alt
  p.press({Key::Tab});
  EXPECT_TRUE(framed(this->about()->systemInfoButton()));  // the frame follows the focus
  p.press({Key::Enter});
  ASSERT_TRUE(p.runUntil([&] { return boxes.size() == 1; }));
  EXPECT_EQ(boxes[0], about::AboutWindow::kUnavailable);
  p.press(kAltS);
  ASSERT_TRUE(p.runUntil([&] { return boxes.size() == 2; }));
  EXPECT_TRUE(this->paused());
  p.press({Key::Escape});
  EXPECT_TRUE(p.runUntil([&] { return this->about() == nullptr && !this->paused(); }));
  EXPECT_NE(this->game().keyEcho().caption(), "120");
}

TYPED_TEST_P(Conformance, FramesShowTheDesignWithNoTextPaintedOver) {
  auto& p = this->probe;
  p.start();
  this->holdOff(6000);  // the front enemies still in view
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  p.settle();
  game::GameWindow& game = this->game();
  const Frame scene = p.frame(game);
  ASSERT_EQ(scene.width, 792);
  ASSERT_EQ(scene.height, 72);
  EXPECT_TRUE(scene.shows(assets::ship(), 24, 16, assets::ship().width));
  EXPECT_TRUE(scene.shows(assets::enemy(), ui::toPixels(this->front()), 16, assets::enemy().width));
  const auto is = [](std::uint32_t colour) {
    return [colour](std::uint32_t pixel) { return pixel == colour; };
  };
  // The cyan bar fills the bottom rows to the window's last pixel; the hidden
  // wreck beside the ship leaves the ground black.
  EXPECT_GT(scene.count({0, 56, 792, 16}, is(0x00FFFF)), 792 * 14);
  EXPECT_EQ(scene.at(791, 71), 0x00FFFFU);
  const auto text = [](std::uint32_t pixel) { return pixel != 0x00FFFF; };
  EXPECT_GT(scene.count({346, 57, 100, 15}, text), 40);  // "About", in the middle
  EXPECT_EQ(scene.count({0, 57, 346, 15}, text) + scene.count({446, 57, 346, 15}, text), 0);
  EXPECT_EQ(scene.count({0, 16, 24, 34}, is(0)), 24 * 34);
  const int marker = ui::toPixels(game.endFlag().left());
  const int yellow = scene.count({0, 0, 792, 72}, is(0xFFFF00));
  EXPECT_GT(yellow, 0);
  EXPECT_EQ(scene.count({marker, 16, 105, 41}, is(0xFFFF00)), yellow);

  // The About window: the note's red text wholly within its label, and shown
  // where the version label lies under it.
  const Frame window = p.frame(*this->about());
  ASSERT_EQ(window.width, 351);
  ASSERT_EQ(window.height, 150);
  const auto red = [](std::uint32_t pixel) {
    return static_cast<int>(pixel >> 16) - static_cast<int>((pixel >> 8) & 0xFF) > 64;
  };
  const auto dark = [](std::uint32_t pixel) {
    return (pixel & 0xFF) + ((pixel >> 8) & 0xFF) < 200;
  };
  const ui::PixelRect note{96, 16, 177, 97};
  const ui::PixelRect underNote{96, 72, 51, 15};  // where the version label overlaps it
  EXPECT_GT(window.count(note, red), 200);
  EXPECT_EQ(window.count(note, red), window.count({0, 0, 288, 120}, red));
  EXPECT_GT(window.count(underNote, red), 10);
  for (const int dpi : {96, 144, 192}) {  // whole, also on a display of 1.5 and 2 times the pixels
    EXPECT_TRUE(this->about()->note().layout(ui::DisplayScale(dpi), p.measure()).fits) << dpi;
  }
  EXPECT_GT(window.count({16, 56, 75, 16}, dark), 20);  // "Orvanta"
  EXPECT_GT(window.count({16, 72, 80, 15}, dark), 20);  // "Version 3", left of the note
  EXPECT_TRUE((p.resizable(game) || !kResizing<TypeParam>)&&p.hasIcon(game));
  EXPECT_FALSE(p.resizable(*this->about()) || p.hasIcon(*this->about()));
  // The portrait fills its box, and only its box.
  EXPECT_LT(window.count({288, 40, 55, 71}, is(0xFFFFFF)), 55 * 71 / 2);
  EXPECT_EQ(window.count({288, 111, 55, 9}, is(0xFFFFFF)), 55 * 9);
}

// Caption, place, buttons, focus and frame: every window shows what the model
// decided, from its first showing on and after each change.
TYPED_TEST_P(Conformance, EveryWindowShowsWhatTheModelDecided) {
  auto& p = this->probe;
  const auto shows = [&](const ui::Form& form) -> ::testing::AssertionResult {
    const Shown shown = p.shown(form);
    const Shown wanted = decided(form);
    if (shown == wanted) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "shows " << shown << "\ndecided " << wanted;
  };
  const auto soon = [&](const ui::Form& form) {
    p.runUntil([&] { return static_cast<bool>(shows(form)); });
    return shows(form);
  };
  p.start();
  this->holdOff(60000);
  game::GameWindow& game = this->game();
  EXPECT_TRUE(shows(game));
  EXPECT_EQ(p.shown(game).place, (ui::PixelRect{4, 183, 792, 72}));
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  about::AboutWindow& about = *this->about();
  EXPECT_TRUE(soon(about));
  EXPECT_EQ(p.shown(about).place.x, 506);
  p.press({Key::Tab});
  ASSERT_TRUE(p.runUntil([&] { return about.focus() == &about.systemInfoButton(); }));
  EXPECT_TRUE(soon(about));
  this->app().dispatch([&] {
    about.setCaption("Über & vorel");
    about.okButton().setVisible(false);
  });
  EXPECT_TRUE(soon(about));
  EXPECT_EQ(p.shown(about).caption, "Über & vorel");
}

// What each window tells the platform's accessibility layer, as "role: name".
TYPED_TEST_P(Conformance, AScreenReaderReadsWhatThePlayerSeesAndPressesAbout) {
  auto& p = this->probe;
  p.start();
  this->holdOff(6000);  // the front enemies in view
  const auto has = [](const std::vector<std::string>& read, const std::string& line) {
    return std::find(read.begin(), read.end(), line) != read.end();
  };
  const std::vector<std::string> game = p.readAloud(this->game());
  EXPECT_TRUE(has(game, "button: About") && has(game, "picture: the player's ship") &&
              has(game, "picture: an enemy"));
  EXPECT_FALSE(has(game, "picture: the wrecked ship") || has(game, "text: Label1"));  // hidden
  EXPECT_LT(std::count(game.begin(), game.end(), "picture: an enemy"), 20);  // those on screen
  p.pressAloud(this->game(), "About");
  ASSERT_TRUE(p.runUntil([&] { return this->about() != nullptr && this->paused(); }));
  const std::vector<std::string> about = p.readAloud(*this->about());
  EXPECT_TRUE(has(about, "text: Orvanta") && has(about, "text: Version 3") &&
              has(about, "button: OK") && has(about, "picture: a photograph of a snowman at dusk"));
  EXPECT_TRUE(has(about, "text: " + ui::withLineFeeds(this->about()->note().caption())));
}

TYPED_TEST_P(Conformance, TheDefeatBoxHoldsEveryWindowOverTheWreck) {
  auto& p = this->probe;
  game::GameWindow& game = this->game();
  std::vector<std::string> seen;
  p.answerBoxes([&](const Box& box) {
    seen = {box.title, box.text};
    EXPECT_EQ(box.owner, "Game");
    // The enemy has come over the ship's nose at pixel 77.
    EXPECT_TRUE(p.frame(game).shows(assets::defeat(), 24, 16, 77 - 24));
    p.type(game, u"x");
    p.click(game, kBarX, kBarY);
    p.settle();
    EXPECT_TRUE(game.keyEcho().caption() != "120" && this->about() == nullptr)
        << "input reached a window under the box";
    EXPECT_FALSE(p.waking()) << "a timer woke the program under the defeat box";
  });
  p.start();
  this->app().dispatch([&] { game.enemyColumn()(0).setLeft(1260); });  // lost at the next tick
  EXPECT_EQ(p.runToEnd(), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"vorel", "لقد خسرة"}));
}

TYPED_TEST_P(Conformance, TheProgramEndsWithItsLastWindowWhileABoxIsOpen) {
  auto& p = this->probe;
  // A window may go while its box is open, as a tick may make it: the box
  // takes nothing down with it.
  p.answerBoxes([&](const Box&) {
    this->app().dispatch([&] { this->about()->unload(); });
    p.settle();
  });
  p.start();
  this->holdOff(60000);
  ASSERT_NO_FATAL_FAILURE(this->openAbout());
  p.close(this->game());
  ASSERT_TRUE(p.runUntil([&] {
    return this->app().loadedForm(game::GameWindow::kName) == nullptr && !p.showing("Game");
  }));
  EXPECT_FALSE(this->app().ended());
  p.press(kAltS);  // its box, and the last window goes
  EXPECT_EQ(p.runToEnd(), 0);
}

TYPED_TEST_P(Conformance, AnUntrappedErrorIsReportedThenTheProgramEndsWithOne) {
  auto& p = this->probe;
  std::vector<std::string> seen;
  p.answerBoxes([&](const Box& box) { seen = {box.title, box.text}; });
  p.start();
  this->app().dispatch([&] { this->game().enemyColumn()(5).setLeft(std::nanf("")); });
  EXPECT_EQ(p.runToEnd(), 1);  // the next tick fails
  EXPECT_EQ(seen, (std::vector<std::string>{"vorel", "Error 5: Invalid argument"}));
}

REGISTER_TYPED_TEST_SUITE_P(Conformance, KeysTypeTheWindowsKeyboardsCodesAndNothingWakesWhilePaused,
                            DialogKeysClickTheAboutWindowsButtons,
                            EveryWindowShowsWhatTheModelDecided,
                            FramesShowTheDesignWithNoTextPaintedOver,
                            AScreenReaderReadsWhatThePlayerSeesAndPressesAbout,
                            TheDefeatBoxHoldsEveryWindowOverTheWreck,
                            TheProgramEndsWithItsLastWindowWhileABoxIsOpen,
                            AnUntrappedErrorIsReportedThenTheProgramEndsWithOne);

}  // namespace conformance
