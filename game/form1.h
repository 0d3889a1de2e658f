#pragma once

#include <cstdint>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace game {

// The game window: the ship, the enemy column marching in from the right, the
// end marker behind it, and the "About" bar. All game state lives in the
// properties of these controls; the handlers keep none between events.
class Form1 final : public ui::Form {
 public:
  static constexpr const char* kName = "Form1";
  explicit Form1(ui::Application& app);

  // The controls, valid while the window is loaded, by their roles; each
  // keeps its design name (Timer1, j, l, ...) as its name.
  [[nodiscard]] ui::Timer& secondTimer() const { return *timer2_; }  // Timer2
  [[nodiscard]] ui::Timer& gameTimer() const { return *timer1_; }    // Timer1
  [[nodiscard]] ui::Label& aboutBar() const { return *label1_; }     // Label1
  [[nodiscard]] ui::Image& endMarker() const { return *en_; }        // en
  [[nodiscard]] ui::Image& wreck() const { return *d_; }             // d
  [[nodiscard]] ui::Label& keyEcho() const { return *e_; }           // e
  [[nodiscard]] ui::Image& shot() const { return *k_; }              // k
  [[nodiscard]] ui::Label& lastIndex() const { return *h_; }         // h
  [[nodiscard]] ui::Image& ship() const { return *j_; }              // j
  [[nodiscard]] ui::ImageArray& column() const { return *l_; }       // l

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

  void label1Click();
  void timer1Tick();

  ui::Timer* timer2_ = nullptr;
  ui::Timer* timer1_ = nullptr;
  ui::Label* label1_ = nullptr;
  ui::Image* en_ = nullptr;
  ui::Image* d_ = nullptr;
  ui::Label* e_ = nullptr;
  ui::Image* k_ = nullptr;
  ui::Label* h_ = nullptr;
  ui::Image* j_ = nullptr;
  ui::ImageArray* l_ = nullptr;
};

}  // namespace game
