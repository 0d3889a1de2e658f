// Measures the tick period of a model timer at Interval 1 on the Win32
// driver: the time between successive ticks as the handler sees them.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/tick_periods.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/win32/win32_driver.h"

namespace {

constexpr std::size_t kPeriods = 1000;

const ui::FormDesign kDesign{.caption = "Ticks", .clientWidth = 3000, .clientHeight = 1500};
const ui::TimerDesign kTimer{.name = "Timer1", .interval = 1, .enabled = true};

long long counter() {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

class TickForm final : public ui::Form {
 public:
  explicit TickForm(ui::Application& app) : ui::Form(app, "Ticks", kDesign) {}
  std::vector<long long> stamps;

 private:
  void build() override { add<ui::Timer>(kTimer); }
  void onTick(ui::Timer& /*timer*/) override {
    stamps.push_back(counter());
    if (stamps.size() > kPeriods) {
      app().end();
    }
  }
};

}  // namespace

int main() {
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  std::vector<long long> stamps;
  {
    ui::win32::Win32Driver driver;
    ui::Application app(driver, "vorel");
    app.registerForm("Ticks", [](ui::Application& a) { return std::make_unique<TickForm>(a); });
    auto& form = app.form<TickForm>("Ticks");
    if (!app.start("Ticks")) {
      std::puts("the form did not start");
      return 1;
    }
    driver.exec();
    stamps = form.stamps;
  }
  if (stamps.size() < kPeriods + 1) {
    std::printf("only %zu ticks\n", stamps.size());
    return 1;
  }
  std::vector<double> times;
  for (const long long stamp : stamps) {
    times.push_back(static_cast<double>(stamp - stamps.front()) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
  }
  const bench::TickPeriods periods = bench::tickPeriods(times);
  std::printf(
      "tick period at Interval 1 over %zu ticks (ms): mean %.3f, median %.3f, p99 %.3f, "
      "min %.3f, max %.3f\n",
      periods.count, periods.mean, periods.median, periods.p99, periods.shortest, periods.longest);
  return 0;
}
