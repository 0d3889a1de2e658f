#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/form1.h"
#include "ui/application.h"
#include "ui/headless/headless_driver.h"

namespace testing_support {

// The game on the headless driver: the program with both of its windows, not
// yet started.
class GameFixture : public ::testing::Test {
 protected:
  GameFixture() {
    app.registerForm(game::Form1::kName,
                     [](ui::Application& a) { return std::make_unique<game::Form1>(a); });
  }

  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }

  ui::headless::HeadlessDriver driver;
  ui::Application app{driver, "vorel"};
};

}  // namespace testing_support
