#pragma once

#include "ui/error.h"

namespace testing_support {

// The number of the ui::Error an operation raises; 0 when it raises none.
int errorNumberOf(auto&& operation) {
  try {
    operation();
  } catch (const ui::Error& error) {
    return error.number();
  }
  return 0;
}

}  // namespace testing_support
