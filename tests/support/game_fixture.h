#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>

#include "about/about_window.h"
#include "game/game_window.h"
#include "support/fake_services.h"
#include "ui/application.h"
#include "ui/headless/headless_driver.h"

namespace testing_support {

// The number of the ui::Error an operation raises; 0 when it raises none.
int errorOf(auto&& operation) {
  try {
    operation();
  } catch (const ui::Error& error) {
    return error.number();
  }
  return 0;
}

// The program on the headless driver, started: the game window up with its
// column, the About window's services fakes the test can plant in.
class GameFixture : public ::testing::Test {
 protected:
  GameFixture() {
    app.registerForm(game::GameWindow::kName,
                     [](ui::Application& a) { return std::make_unique<game::GameWindow>(a); });
    app.registerForm(about::AboutWindow::kName, [this](ui::Application& a) {
      auto services = std::make_unique<FakeServices>();
      fake = services.get();
      return std::make_unique<about::AboutWindow>(a, std::move(services));
    });
  }
  void SetUp() override { ASSERT_TRUE(app.start(game::GameWindow::kName)); }

  game::GameWindow& f() { return app.form<game::GameWindow>(game::GameWindow::kName); }
  about::AboutWindow& about() { return app.form<about::AboutWindow>(about::AboutWindow::kName); }

  // Element i at 3360 + 500 i, less 100 for each tick so far, hidden or not.
  static float home(int i, int tick) {
    return 3360.0F + 500.0F * static_cast<float>(i) - 100.0F * static_cast<float>(tick);
  }
  // Ticks of the game timer, which runs at the layer's shortest period.
  void ticks(int count) { driver.advance(ui::kShortestTimerPeriod * count); }
  void press(int code) { driver.pressKey(f(), static_cast<std::int16_t>(code)); }
  ui::Image& l(int i) { return f().enemyColumn()(static_cast<std::int16_t>(i)); }
  float left(int i) { return l(i).left(); }
  bool visible(int i) { return l(i).visible(); }
  // Puts the game in a chosen state the way no handler does.
  void arrange(auto&& change) { app.dispatch(change); }
  void hide(int from, int to) {
    arrange([&] {
      for (int i = from; i < to; ++i) {
        l(i).setVisible(false);
      }
    });
  }

  ui::headless::HeadlessDriver driver;
  ui::Application app{driver, "vorel"};
  FakeServices* fake = nullptr;  // the About window's, once it exists
};

}  // namespace testing_support
