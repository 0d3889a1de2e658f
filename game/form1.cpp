#include "game/form1.h"

#include "assets/pictures.h"
#include "ui/text.h"
#include "ui/twips.h"

namespace game {
namespace {

using ui::Color;

const ui::FormDesign kForm1{
    .caption = "Game",
    .clientWidth = 11880,
    .clientHeight = 1080,
    .background = Color::system(Color::kMenuText),
    .border = ui::BorderStyle::Sizable,
    .icon = &assets::snowflake(),
    .left = 60,
    .top = 2745,
};

// The controls in design order.
// The second timer's tick does nothing, so nothing needs waking for it: it only
// takes part in the pause, through its Interval.
const ui::TimerDesign kTimer2{.name = "Timer2", .interval = 1, .enabled = true, .handled = false};
const ui::TimerDesign kTimer1{.name = "Timer1", .interval = 1, .enabled = true};
const ui::LabelDesign kLabel1{
    .name = "Label1",
    .box = {.left = 0, .top = 840, .width = 11895, .height = 255},
    .visible = true,
    .caption = "About",
    .background = Color::rgb(0, 255, 255),
    .foreground = Color::system(Color::kButtonText),
    .font = {.points = 12, .weight = 700, .italic = true, .charset = 178},
    .alignment = ui::Alignment::Center,
};
const ui::ImageDesign kEn{
    .name = "en",
    .box = {.left = 4440, .top = 240, .width = 1575, .height = 615},
    .visible = true,
    .picture = &assets::flag(),
    .stretch = true,
};
const ui::ImageDesign kD{
    .name = "d",
    .box = {.left = 120, .top = 240, .width = 915, .height = 510},
    .visible = false,
    .picture = &assets::defeat(),
};
const ui::LabelDesign kE{
    .name = "e",
    .box = {.left = 600, .top = 360, .width = 615, .height = 135},
    .visible = false,
    .caption = "Label1",
    .background = Color::system(Color::kButtonFace),
};
const ui::ImageDesign kK{
    .name = "k",
    .box = {.left = 0, .top = 480, .width = 30, .height = 45},
    .visible = false,
    .picture = &assets::shot(),
};
const ui::LabelDesign kH{
    .name = "h",
    .box = {.left = 600, .top = -120, .width = 975, .height = 135},
    .visible = false,
    .caption = "",
    .background = Color::system(Color::kButtonFace),
};
const ui::ImageDesign kJ{
    .name = "j",
    .box = {.left = 360, .top = 240, .width = 915, .height = 510},
    .visible = true,
    .picture = &assets::ship(),
};
const ui::ImageDesign kL{
    .name = "l",
    .box = {.left = 3360, .top = 240, .width = 480, .height = 525},
    .visible = true,
    .picture = &assets::enemy(),
};

constexpr int kColumnLength = 120;
constexpr std::int16_t kLastElement = kColumnLength - 1;
constexpr double kSpacing = 500;
constexpr double kStep = 100;           // how far the column marches per tick
constexpr double kDefeatReach = 880;    // an enemy this near the ship's left edge ends the game
constexpr double kMarkerOffset = 1000;  // the end marker's distance behind the last enemy
constexpr std::int16_t kSpace = 32;
constexpr double kMuzzle = 1000;  // where the shot appears, right of the ship's left edge
constexpr int kShotPasses = 101;
constexpr double kShotStride = 10;

constexpr const char* kAboutWindow = "frmAbout";

// The defeat message, "you have lost".
constexpr const char* kDefeatMessage = "لقد خسرة";

}  // namespace

Form1::Form1(ui::Application& app) : ui::Form(app, kName, kForm1) {}

void Form1::build() {
  timer2_ = &add<ui::Timer>(kTimer2);
  timer1_ = &add<ui::Timer>(kTimer1);
  label1_ = &add<ui::Label>(kLabel1);
  en_ = &add<ui::Image>(kEn);
  d_ = &add<ui::Image>(kD);
  e_ = &add<ui::Label>(kE);
  k_ = &add<ui::Image>(kK);
  h_ = &add<ui::Label>(kH);
  j_ = &add<ui::Image>(kJ);
  l_ = &addArray(kL);
}

// Builds the enemy column: element i is a copy of element 0 placed 500 twips
// to the right of element i - 1. The previous index makes a round trip through
// the Caption of the hidden label h.
void Form1::onLoad() {
  for (int i = 1; i < kColumnLength; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    column().load(index);
    lastIndex().setCaption(ui::decimal(i - 1));
    const std::int16_t previous = ui::toInt16(lastIndex().caption());
    ui::Image& element = column()(index);
    const ui::Image& before = column()(previous);
    element.setLeft(ui::offset(before.left(), kSpacing));
    element.setVisible(true);
  }
}

// Echoes the key code into the hidden label e; the space bar fires. The shot is
// shown, pushed out in front of the ship and hidden again within this handler,
// so it is never seen: what it leaves is its Left, the reach the next tick uses.
void Form1::onKeyPress(std::int16_t keyCode) {
  keyEcho().setCaption(ui::decimal(keyCode));
  if (keyCode != kSpace) {
    return;
  }
  shot().setVisible(true);
  shot().setLeft(ui::offset(ship().left(), kMuzzle));
  for (int pass = 0; pass < kShotPasses; ++pass) {
    shot().setLeft(ui::offset(shot().left(), kShotStride));
  }
  shot().setVisible(false);
}

// The help key does what a click on the "About" bar does.
void Form1::onHelp() {
  label1Click();
}

void Form1::onClick(ui::Control& control) {
  if (&control == label1_) {
    label1Click();
  }
}

void Form1::onTick(ui::Timer& timer) {
  if (&timer == timer1_) {
    timer1Tick();
  }
}

// Opens the About window and pauses the game.
void Form1::label1Click() {
  app().form(kAboutWindow).show();
  pause();
}

void Form1::pause() const {
  gameTimer().setInterval(0);
  secondTimer().setInterval(0);
}

void Form1::resume() const {
  gameTimer().setInterval(1);
  secondTimer().setInterval(1);
}

// The game tick. Every element moves, visible or not; the first visible one in
// index order (the nearest enemy) is the only one that meets the shot's reach,
// since the reach is spent after every visible element.
void Form1::timer1Tick() {
  for (int i = 0; i < kColumnLength; ++i) {
    ui::Image& element = column()(static_cast<std::int16_t>(i));
    element.setLeft(ui::offset(element.left(), -kStep));
    if (!element.visible()) {
      continue;
    }
    if (shot().left() >= element.left()) {
      element.setVisible(false);
    }
    // A hit in this very pass does not save the ship.
    if (ui::single(ui::difference(element.left(), kDefeatReach)) <= ship().left()) {
      gameTimer().setEnabled(false);
      ship().setPicture(wreck().picture());
      app().msgBox(kDefeatMessage);
      app().end();
    }
    endMarker().setLeft(ui::offset(column()(kLastElement).left(), kMarkerOffset));
    shot().setLeft(0);
  }
}

}  // namespace game
