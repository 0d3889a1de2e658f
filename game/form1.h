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

  // The controls, valid while the window is loaded.
  [[nodiscard]] ui::Timer& Timer2() const { return *timer2_; }
  [[nodiscard]] ui::Timer& Timer1() const { return *timer1_; }
  [[nodiscard]] ui::Label& Label1() const { return *label1_; }
  [[nodiscard]] ui::Image& en() const { return *en_; }
  [[nodiscard]] ui::Image& d() const { return *d_; }
  [[nodiscard]] ui::Label& e() const { return *e_; }
  [[nodiscard]] ui::Image& k() const { return *k_; }
  [[nodiscard]] ui::Label& h() const { return *h_; }
  [[nodiscard]] ui::Image& j() const { return *j_; }
  [[nodiscard]] ui::ImageArray& l() const { return *l_; }

 private:
  void build() override;
  void onLoad() override;
  void onKeyPress(std::int16_t keyCode) override;
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
