#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string_view>

#include "ui/control.h"

namespace ui {

// The layer's shortest timer period: a timer asking for less ticks at this.
inline constexpr std::chrono::milliseconds kShortestTimerPeriod{55};

struct TimerDesign {
  std::string_view name;
  std::int32_t interval = 0;  // milliseconds
  bool enabled = true;
  // False for a timer whose ticks have no effect: it keeps its Interval and
  // Enabled like any other, but nothing is woken to deliver them.
  bool handled = true;
};

class Timer final : public Control {
 public:
  Timer(Form& form, const TimerDesign& design);

  [[nodiscard]] std::int32_t interval() const { return interval_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  // Interval 0 stops the ticks and leaves Enabled as it is. Negative
  // intervals are refused with InvalidArgument.
  void setInterval(std::int32_t interval);
  void setEnabled(bool enabled);

  // True while the timer delivers ticks.
  [[nodiscard]] bool running() const { return enabled_ && interval_ > 0 && handled_; }
  [[nodiscard]] std::chrono::milliseconds period() const {
    return std::max(std::chrono::milliseconds(interval_), kShortestTimerPeriod);
  }

 private:
  void notify();
  std::int32_t interval_;
  bool enabled_;
  bool handled_;
};

}  // namespace ui
