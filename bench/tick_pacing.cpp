// The driver's tick pacing: one timer of Interval 1 (the shortest period,
// 55 ms) on a form of the Qt or the Win32 driver, as the game's timers run.
// Prints the time of each tick in milliseconds from the first, one a line;
// bench/report reads the periods from them.
// Usage: tick_pacing [TICKS]   (default 1001: 1000 periods, about 55 s)

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/timer.h"
#ifdef _WIN32
#include "ui/win32/win32_driver.h"
#else
#include <QApplication>

#include "ui/qt/qt_driver.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

const ui::FormDesign kDesign{.caption = "Pacing", .clientWidth = 1500, .clientHeight = 450};
const ui::TimerDesign kTimer{.name = "T", .interval = 1, .enabled = true};

class PacingForm final : public ui::Form {
 public:
  PacingForm(ui::Application& app, std::size_t ticks)
      : ui::Form(app, "Pacing", kDesign), ticks_(ticks) {}
  std::vector<Clock::time_point> times;

 private:
  void build() override { add<ui::Timer>(kTimer); }
  void onTick(ui::Timer& /*timer*/) override {
    times.push_back(Clock::now());
    if (times.size() == ticks_) {
      app().end();
    }
  }

  std::size_t ticks_;
};

template <typename Loop>
int measure(ui::Driver& driver, std::size_t ticks, Loop loop) {
  ui::Application app(driver, "pacing");
  app.registerForm("Pacing",
                   [&](ui::Application& a) { return std::make_unique<PacingForm>(a, ticks); });
  const auto& form = app.form<PacingForm>("Pacing");
  if (!app.start("Pacing")) {
    return 1;
  }
  loop();
  for (const Clock::time_point time : form.times) {
    std::printf("%.3f\n",
                std::chrono::duration<double, std::milli>(time - form.times.front()).count());
  }
  return form.times.size() == ticks ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t ticks = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1001;
#ifdef _WIN32
  ui::win32::Win32Driver driver;
  return measure(driver, ticks, [&] { driver.exec(); });
#else
  std::array<char, 12> name{"tick_pacing"};
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  int qtArgc = 1;
  const QApplication application(qtArgc, qtArgv.data());
  QApplication::setQuitOnLastWindowClosed(false);
  ui::qt::QtDriver driver;
  return measure(driver, ticks, [] { QApplication::exec(); });
#endif
}
