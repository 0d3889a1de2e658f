#include "game/game_window.h"

#include "assets/pictures.h"
#include "ui/text.h"
#include "ui/twips.h"

namespace game {
namespace {

using ui::Color;

const ui::FormDesign kGameWindow{
    .caption = "Game",
    .help =
        "The enemy column marches in from the right towards your ship. The space bar fires at "
        "the nearest enemy within reach; F1 opens the About window, which pauses the game.",
    .clientWidth = 11880,
    .clientHeight = 1080,
    .background = Color::system(ui::SystemColor::MenuText),
    .border = ui::BorderStyle::Sizable,
    .icon = &assets::snowflake(),
    .left = 60,
    .top = 2745,
};

// The controls in design order.
// The second timer's tick does nothing, so nothing needs waking for it: it only
// takes part in the pause, through its Interval.
const ui::TimerDesign kSecondTimer{
    .name = "Timer2", .interval = 1, .enabled = true, .handled = false};
const ui::TimerDesign kGameTimer{.name = "Timer1", .interval = 1, .enabled = true};
const ui::LabelDesign kAboutBar{
    .name = "Label1",
    .box = {.left = 0, .top = 840, .width = 11895, .height = 255},
    .visible = true,
    .caption = "About",
    .background = Color::rgb(0, 255, 255),
    .foreground = Color::system(ui::SystemColor::ButtonText),
    .font = {.points = 12, .weight = ui::FontWeight::Bold, .italic = true},
    .alignment = ui::Alignment::Center,
    .pressable = true,
};
const ui::ImageDesign kEndFlag{
    .name = "en",
    .box = {.left = 4440, .top = 240, .width = 1575, .height = 615},
    .visible = true,
    .picture = &assets::flag(),
    .stretch = true,
};
const ui::ImageDesign kWreck{
    .name = "d",
    .box = {.left = 120, .top = 240, .width = 915, .height = 510},
    .visible = false,
    .picture = &assets::defeat(),
};
const ui::LabelDesign kKeyEcho{
    .name = "e",
    .box = {.left = 600, .top = 360, .width = 615, .height = 135},
    .visible = false,
    .caption = "Label1",
    .background = Color::system(ui::SystemColor::ButtonFace),
};
const ui::ImageDesign kShot{
    .name = "k",
    .box = {.left = 0, .top = 480, .width = 30, .height = 45},
    .visible = false,
    .picture = &assets::shot(),
};
const ui::LabelDesign kPreviousIndex{
    .name = "h",
    .box = {.left = 600, .top = -120, .width = 975, .height = 135},
    .visible = false,
    .caption = "",
    .background = Color::system(ui::SystemColor::ButtonFace),
};
const ui::ImageDesign kShip{
    .name = "j",
    .box = {.left = 360, .top = 240, .width = 915, .height = 510},
    .visible = true,
    .picture = &assets::ship(),
};
const ui::ImageDesign kEnemy{
    .name = "l",
    .box = {.left = 3360, .top = 240, .width = 480, .height = 525},
    .visible = true,
    .picture = &assets::enemy(),
};

constexpr int kColumnLength = 120;
constexpr std::int16_t kLastElement = kColumnLength - 1;
constexpr double kSpacing = 500;
constexpr double kStep = 100;         // how far the column marches per tick
constexpr double kDefeatReach = 880;  // an enemy this near the ship's left edge ends the game
constexpr double kFlagOffset = 1000;  // the end flag's distance behind the last enemy
constexpr std::int16_t kSpace = 32;
constexpr double kMuzzle = 1000;  // where the shot appears, right of the ship's left edge
constexpr int kShotPasses = 101;
constexpr double kShotStride = 10;

constexpr const char* kAboutWindow = "frmAbout";

// The defeat message, "you have lost".
constexpr const char* kDefeatMessage = "لقد خسرة";

}  // namespace

GameWindow::GameWindow(ui::Application& app) : ui::Form(app, kName, kGameWindow) {}

void GameWindow::build() {
  secondTimer_ = &add<ui::Timer>(kSecondTimer);
  gameTimer_ = &add<ui::Timer>(kGameTimer);
  aboutBar_ = &add<ui::Label>(kAboutBar);
  endFlag_ = &add<ui::Image>(kEndFlag);
  wreck_ = &add<ui::Image>(kWreck);
  keyEcho_ = &add<ui::Label>(kKeyEcho);
  shot_ = &add<ui::Image>(kShot);
  previousIndex_ = &add<ui::Label>(kPreviousIndex);
  ship_ = &add<ui::Image>(kShip);
  enemyColumn_ = &addArray(kEnemy);
}

// Builds the enemy column: element i is a copy of element 0 placed 500 twips
// to the right of element i - 1. The previous index makes a round trip through
// the Caption of a hidden label.
void GameWindow::onLoad() {
  for (int i = 1; i < kColumnLength; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    enemyColumn().load(index);
    previousIndex().setCaption(ui::decimal(i - 1));
    const std::int16_t previous = ui::toInt16(previousIndex().caption());
    ui::Image& element = enemyColumn()(index);
    const ui::Image& before = enemyColumn()(previous);
    element.setLeft(ui::offset(before.left(), kSpacing));
    element.setVisible(true);
  }
}

// Echoes the key code into a hidden label; the space bar fires. The shot is
// shown, pushed out in front of the ship and hidden again within this handler,
// so it is never seen: what it leaves is its Left, the reach the next tick uses.
void GameWindow::onKeyPress(std::int16_t keyCode) {
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
void GameWindow::onHelp() {
  openAbout();
}

void GameWindow::onClick(ui::Control& control) {
  if (&control == aboutBar_) {
    openAbout();
  }
}

void GameWindow::onTick(ui::Timer& timer) {
  if (&timer == gameTimer_) {
    march();
  }
}

// Opens the About window and pauses the game.
void GameWindow::openAbout() {
  app().form(kAboutWindow).show();
  pause();
}

void GameWindow::pause() const {
  gameTimer().setInterval(0);
  secondTimer().setInterval(0);
}

void GameWindow::resume() const {
  gameTimer().setInterval(1);
  secondTimer().setInterval(1);
}

// The game tick. Every element moves, visible or not; the first visible one in
// index order (the nearest enemy) is the only one that meets the shot's reach,
// since the reach is spent after every visible element.
void GameWindow::march() {
  for (int i = 0; i < kColumnLength; ++i) {
    ui::Image& element = enemyColumn()(static_cast<std::int16_t>(i));
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
    endFlag().setLeft(ui::offset(enemyColumn()(kLastElement).left(), kFlagOffset));
    shot().setLeft(0);
  }
}

}  // namespace game
