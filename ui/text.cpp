#include "ui/text.h"

#include <charconv>
#include <iterator>

#include "ui/error.h"

namespace ui {

std::int16_t toInt16(std::string_view text) {
  const auto blank = text.find_first_not_of(" \t");
  text.remove_prefix(blank == std::string_view::npos ? text.size() : blank);
  text.remove_suffix(text.size() - (text.find_last_not_of(" \t") + 1));
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (negative || text.front() == '+')) {
    text.remove_prefix(1);
  }
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    throw Error(ErrorNumber::TypeMismatch);
  }
  // Digits only from here: the one way left to fail is a number too large.
  long value = 0;
  for (const char digit : text) {
    value = value * 10 + (digit - '0');
    if (value > 32768) {
      throw Error(ErrorNumber::Overflow);
    }
  }
  value = negative ? -value : value;
  if (value > 32767) {
    throw Error(ErrorNumber::Overflow);
  }
  return static_cast<std::int16_t>(value);
}

std::string decimal(long long value) {
  char buffer[24];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
  return {std::begin(buffer), result.ptr};
}

}  // namespace ui
