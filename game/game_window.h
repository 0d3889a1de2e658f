#pragma once

#include <cstdint>

#include "ui/application.h"
#include "ui/form.h"

namespace game {

// The game window: the ship, the enemy column marching in from the right, the
// end flag behind it, and the "About" bar. All game state lives in the
// properties of these controls; the handlers keep none between events.
class GameWindow final : public ui::Form {
 public:
  static constexpr const char* kName = "Form1";
  explicit GameWindow(ui::Application& app);

  // The controls, valid while the window is loaded, by their roles; each
  // keeps the design's name (Timer1, j, l, ...) as its name.
  [[nodiscard]] ui::Timer& gameTimer() const { return *gameTimer_; }
  [[nodiscard]] ui::Timer& secondTimer() const { return *secondTimer_; }
  [[nodiscard]] ui::Label& aboutBar() const { return *aboutBar_; }
  [[nodiscard]] ui::Image& endFlag() const { return *endFlag_; }
  [[nodiscard]] ui::Image& wreck() const { return *wreck_; }
  [[nodiscard]] ui::Label& keyEcho() const { return *keyEcho_; }
  [[nodiscard]] ui::Image& shot() const { return *shot_; }
  [[nodiscard]] ui::Label& previousIndex() const { return *previousIndex_; }
  [[nodiscard]] ui::Image& ship() const { return *ship_; }
  [[nodiscard]] ui::ImageArray& enemyColumn() const { return *enemyColumn_; }

  // The pause: both timers' Interval at 0; resume() sets them back to 1.
  void pause() const;
  void resume() const;

 private:
  void build() override;
  void onLoad() override;
  void onKeyPress(std::int16_t keyCode) override;
  void onHelp() override;
  void onClick(ui::Control& control) override;
  void onTick(ui::Timer& timer) override;

  void openAbout();
  void march();

  ui::Timer* secondTimer_ = nullptr;
  ui::Timer* gameTimer_ = nullptr;
  ui::Label* aboutBar_ = nullptr;
  ui::Image* endFlag_ = nullptr;
  ui::Image* wreck_ = nullptr;
  ui::Label* keyEcho_ = nullptr;
  ui::Image* shot_ = nullptr;
  ui::Label* previousIndex_ = nullptr;
  ui::Image* ship_ = nullptr;
  ui::ImageArray* enemyColumn_ = nullptr;
};

}  // namespace game
