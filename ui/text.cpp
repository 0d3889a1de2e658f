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

bool isRightToLeft(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    // The code point at `at`; a stray byte stands for itself and decides nothing.
    const auto lead = static_cast<unsigned char>(text[at]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t c = length == 1 ? lead : lead & (0x3FU >> (length - 1));
    for (int i = 1; i < length && at + static_cast<std::size_t>(i) < text.size(); ++i) {
      c = (c << 6) | (static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]) & 0x3FU);
    }
    at += static_cast<std::size_t>(length);
    // Hebrew, Arabic, Syriac, Thaana, NKo, Samaritan, Mandaic and the Arabic
    // extensions, then the Hebrew and Arabic presentation forms.
    if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFF)) {
      return true;
    }
    const bool latin = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                       (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
    const bool otherLeftToRight = c >= 0x0370 && c < 0x0590;  // Greek, Cyrillic, Armenian
    if (latin || otherLeftToRight) {
      return false;
    }
  }
  return false;
}

}  // namespace ui
