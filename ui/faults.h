#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "ui/error.h"

namespace ui {

// Operations of the model that a test can make fail.
enum class Operation : std::uint8_t {
  CreateControl,  // a control built from the design or a control-array element
  LookUpElement,  // a control-array element by index
  WriteProperty,  // any property write of a control or window
  Count,
};

// Arms one failure per operation: the nth call from now raises the error.
// Disarmed, a check costs one branch.
class FaultInjector {
 public:
  void failOn(Operation operation, int nth, ErrorNumber error = ErrorNumber::OutOfMemory) {
    plans_.at(index(operation)) = Plan{nth, error};
    armed_ = true;
  }
  void clear() {
    plans_ = {};
    armed_ = false;
  }

  void check(Operation operation) {
    if (armed_) [[unlikely]] {
      fire(operation);
    }
  }

 private:
  struct Plan {
    int remaining;
    ErrorNumber error;
  };
  static std::size_t index(Operation operation) { return static_cast<std::size_t>(operation); }
  void fire(Operation operation) {
    auto& plan = plans_.at(index(operation));
    if (plan && --plan->remaining == 0) {
      const ErrorNumber error = plan->error;
      plan.reset();
      throw Error(error);
    }
  }

  std::array<std::optional<Plan>, static_cast<std::size_t>(Operation::Count)> plans_{};
  bool armed_ = false;
};

}  // namespace ui
