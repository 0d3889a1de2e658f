#pragma once

// The periods between successive ticks, from their times in milliseconds: what
// the tick benchmarks of both drivers report.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace bench {

struct TickPeriods {
  std::size_t count = 0;
  double mean = 0;
  double median = 0;
  double p99 = 0;
  double shortest = 0;
  double longest = 0;
};

// Needs two times at least.
inline TickPeriods tickPeriods(std::span<const double> times) {
  std::vector<double> periods;
  for (std::size_t i = 1; i < times.size(); ++i) {
    periods.push_back(times[i] - times[i - 1]);
  }
  std::sort(periods.begin(), periods.end());
  // The value below which a share `p` of the periods lie (nearest rank).
  const auto percentile = [&](double p) {
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(periods.size())));
    return periods[std::clamp<std::size_t>(rank, 1, periods.size()) - 1];
  };
  return {.count = periods.size(),
          .mean = (times.back() - times.front()) / static_cast<double>(periods.size()),
          .median = percentile(0.5),
          .p99 = percentile(0.99),
          .shortest = periods.front(),
          .longest = periods.back()};
}

}  // namespace bench
