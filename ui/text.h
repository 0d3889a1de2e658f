#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// A 16-bit integer from text, as a label's Caption converts: optional blanks
// around an optionally signed decimal number (a fraction and an exponent are
// allowed, halves round to even). Raises TypeMismatch for text that is not a
// number and Overflow for a number outside -32768..32767.
[[nodiscard]] std::int16_t toInt16(std::string_view text);

// Plain decimal digits, a minus sign only when negative, no blank.
[[nodiscard]] std::string decimal(long long value);

// UTF-8 to UTF-16 and back, for the drivers' native text; malformed input
// becomes U+FFFD.
[[nodiscard]] std::u16string toUtf16(std::string_view utf8);
[[nodiscard]] std::string toUtf8(std::u16string_view utf16);

}  // namespace ui
