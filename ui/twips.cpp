#include "ui/twips.h"

#include "ui/error.h"

namespace ui::detail {

void raiseNotFinite(double value) {
  throw Error(std::isnan(value) ? ErrorNumber::InvalidArgument : ErrorNumber::Overflow);
}

}  // namespace ui::detail
