#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "about/frm_about.h"
#include "game/form1.h"
#include "support/fake_services.h"
#include "ui/application.h"
#include "ui/headless/headless_driver.h"

namespace testing_support {

// The game on the headless driver: the program with both of its windows, not
// yet started. The About window's services are fakes the test can plant in.
class GameFixture : public ::testing::Test {
 protected:
  GameFixture() {
    app.registerForm(game::Form1::kName,
                     [](ui::Application& a) { return std::make_unique<game::Form1>(a); });
    app.registerForm(about::FrmAbout::kName, [this](ui::Application& a) {
      auto fake = std::make_unique<FakeServices>();
      services = fake.get();
      return std::make_unique<about::FrmAbout>(a, std::move(fake));
    });
  }

  game::Form1& game() { return app.form<game::Form1>(game::Form1::kName); }
  about::FrmAbout& about() { return app.form<about::FrmAbout>(about::FrmAbout::kName); }
  FakeServices& fakes() {
    (void)about();  // the instance holds the services
    return *services;
  }

  ui::headless::HeadlessDriver driver;
  ui::Application app{driver, "vorel"};
  FakeServices* services = nullptr;
};

}  // namespace testing_support
