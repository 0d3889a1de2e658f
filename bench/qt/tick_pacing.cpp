// Measures how steadily the Qt driver paces a timer: a window with one timer
// of Interval 1 (so the shortest period, 55 ms) runs for a number of ticks;
// the report gives the periods between successive ticks (mean, median, 99th
// percentile, longest), the drift of the last tick from its place on the
// schedule, and the latest single tick.
// Usage: vorel_tick_pacing [TICKS]   (default 1001: 1000 periods, about 55 s)

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/tick_periods.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/qt/qt_driver.h"

namespace {

const ui::FormDesign kDesign{.caption = "Pacing", .clientWidth = 1500, .clientHeight = 450};
const ui::TimerDesign kTimer{.name = "T", .interval = 1, .enabled = true};

class PacingForm final : public ui::Form {
 public:
  PacingForm(ui::Application& app, int ticks) : ui::Form(app, "Pacing", kDesign), wanted_(ticks) {
    clock_.start();
  }
  [[nodiscard]] const std::vector<double>& times() const { return times_; }

 private:
  void build() override { add<ui::Timer>(kTimer); }
  void onLoad() override { clock_.restart(); }
  void onTick(ui::Timer& /*timer*/) override {
    times_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
    if (static_cast<int>(times_.size()) == wanted_) {
      app().end();
    }
  }

  int wanted_;
  QElapsedTimer clock_;
  std::vector<double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1001;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  std::array<char, 18> name{"vorel_tick_pacing"};
  std::array<char*, 2> qtArgv{name.data(), nullptr};
  int qtArgc = 1;
  const QApplication application(qtArgc, qtArgv.data());
  QApplication::setQuitOnLastWindowClosed(false);

  ui::qt::QtDriver driver;
  const PacingForm* form = nullptr;
  {
    ui::Application app(driver, "pacing");
    app.registerForm("Pacing", [&](ui::Application& a) {
      auto made = std::make_unique<PacingForm>(a, ticks);
      form = made.get();
      return made;
    });
    if (!app.start("Pacing")) {
      return 1;
    }
    QApplication::exec();

    const std::vector<double>& t = form->times();
    const auto period = static_cast<double>(ui::kShortestTimerPeriod.count());
    const bench::TickPeriods periods = bench::tickPeriods(t);
    double latest = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      latest = std::max(latest, t[i] - period * static_cast<double>(i + 1));
    }
    const double drift = t.back() - period * static_cast<double>(t.size());
    std::printf(
        "ticks=%zu mean_period_ms=%.3f (%.2f %% off %g) median_period_ms=%.3f p99_period_ms=%.3f "
        "longest_period_ms=%.3f drift_ms=%.2f latest_ms=%.2f\n",
        t.size(), periods.mean, 100.0 * (periods.mean - period) / period, period, periods.median,
        periods.p99, periods.longest, drift, latest);
  }
  return 0;
}
