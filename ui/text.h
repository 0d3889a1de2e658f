#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// A 16-bit integer from a label's Caption: decimal digits with an optional
// sign, blanks around them allowed. Raises TypeMismatch for text that is not
// such a number and Overflow for a number outside -32768..32767.
[[nodiscard]] std::int16_t toInt16(std::string_view text);

// Plain decimal digits, a minus sign only when negative, no blank.
[[nodiscard]] std::string decimal(long long value);

// True when the first character of the UTF-8 text with a strong direction is
// written right to left (Hebrew, Arabic and their neighbours); text without
// one reads left to right.
[[nodiscard]] bool isRightToLeft(std::string_view text);

}  // namespace ui
