// The cost of the game's handlers on the control model, with heap allocations
// counted per operation. The driver here does nothing, so what is measured is
// the dispatcher, the handler and the model's bookkeeping (repaint areas
// included), not drawing.

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "bench/model/allocation_count.h"
#include "game/game_window.h"
#include "ui/application.h"
#include "ui/driver.h"

namespace {

class NullDriver final : public ui::Driver {
 public:
  void attach(ui::Application& /*app*/) override {}
  void formLoaded(ui::Form& /*form*/) override {}
  void formShown(ui::Form& /*form*/) override {}
  void formUnloading(ui::Form& /*form*/) override {}
  void releaseWindows() override {}
  void captionChanged(ui::Form& /*form*/) override {}
  void focusChanged(ui::Form& /*form*/) override {}
  void buttonsChanged(ui::Form& /*form*/) override {}
  void repaint(ui::Form& /*form*/, const ui::PixelRect& area) override {
    benchmark::DoNotOptimize(area);
  }
  [[nodiscard]] Time now() const override { return clock; }
  void wakeAt(std::optional<Time> /*due*/) override {}
  void messageBox(const ui::BoxRequest& /*box*/) override {}
  void quit(int /*status*/) override {}
  void post(std::function<void()> /*task*/) override {}

  Time clock{0};
};

struct Game {
  NullDriver driver;
  ui::Application app{driver, "vorel"};
  game::GameWindow* form = nullptr;

  Game() {
    app.registerForm(game::GameWindow::kName,
                     [](ui::Application& a) { return std::make_unique<game::GameWindow>(a); });
    app.start(game::GameWindow::kName);
    form = &app.form<game::GameWindow>(game::GameWindow::kName);
  }

  // Puts the column far to the right, where it can march for a long time
  // without reaching the ship, with every element or every other one visible.
  void arrange(int visibleEvery) {
    app.dispatch([&] {
      for (std::int16_t i = 0; i < 120; ++i) {
        ui::Image& element = form->enemyColumn()(i);
        element.setLeft(1.0e7F + 500.0F * static_cast<float>(i));
        element.setVisible(visibleEvery > 0 && i % visibleEvery == 0);
      }
    });
  }
};

void reportAllocations(benchmark::State& state, long long before) {
  state.counters["allocs/op"] = benchmark::Counter(
      static_cast<double>(bench::allocationCount() - before), benchmark::Counter::kAvgIterations);
}

// One tick of Timer1 over the whole column, as the driver wakes the program
// for it: every element visible (arg 1), every other one (arg 2), none (arg 0).
void Tick(benchmark::State& state) {
  Game game;
  const int visibleEvery = static_cast<int>(state.range(0));
  game.arrange(visibleEvery);
  long long ticks = 0;
  const long long before = bench::allocationCount();
  for (auto _ : state) {
    game.driver.clock += std::chrono::milliseconds(55);
    game.app.deliverDueTicks();
    if (++ticks % 50000 == 0) {  // before the column could reach the ship
      state.PauseTiming();
      game.arrange(visibleEvery);
      state.ResumeTiming();
    }
  }
  reportAllocations(state, before);
  if (game.app.ended()) {
    state.SkipWithError("the game ended during the benchmark");
  }
}
BENCHMARK(Tick)->Arg(1)->Arg(2)->Arg(0)->ArgName("visibleEvery");

void KeyPress(benchmark::State& state) {
  Game game;
  const auto key = static_cast<char16_t>(state.range(0));
  const long long before = bench::allocationCount();
  for (auto _ : state) {
    game.app.typed(*game.form, std::u16string_view(&key, 1));
  }
  reportAllocations(state, before);
}
BENCHMARK(KeyPress)->Arg(32)->Arg(65)->ArgName("key");

// The load of the game window: the design's controls and the 119 copies.
void ColumnSetUp(benchmark::State& state) {
  const long long before = bench::allocationCount();
  for (auto _ : state) {
    Game game;
    benchmark::DoNotOptimize(game.form);
  }
  reportAllocations(state, before);
}
BENCHMARK(ColumnSetUp);

}  // namespace

BENCHMARK_MAIN();
