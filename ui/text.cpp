#include "ui/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "ui/error.h"

namespace ui {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// True when text is [sign] digits [. digits] [e [sign] digits], with at least
// one digit in the mantissa.
bool isDecimalNumber(std::string_view text) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) {
      ++at;
    }
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    ++at;
  }
  std::size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) {
    return false;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
      ++at;
    }
    if (digits() == 0) {
      return false;
    }
  }
  return at == text.size();
}

// The power of ten of the leading significant digit of a well-formed number
// (clamped), enough to tell a vanishing value from a huge one.
long decimalMagnitude(std::string_view text) {
  constexpr long kClamp = 1000000;
  std::size_t at = 0;
  if (text[at] == '+' || text[at] == '-') {
    ++at;
  }
  long magnitude = 0;
  long integerDigits = 0;
  bool significant = false;
  for (; at < text.size() && isDigit(text[at]); ++at) {
    significant = significant || text[at] != '0';
    integerDigits += significant ? 1 : 0;
  }
  if (integerDigits > 0) {
    magnitude = std::min(integerDigits, kClamp) - 1;
  } else if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && text[at] == '0'; ++at) {
      magnitude = std::max(magnitude - 1, -kClamp);
    }
    magnitude -= 1;
  }
  while (at < text.size() && text[at] != 'e' && text[at] != 'E') {
    ++at;
  }
  if (at < text.size()) {
    ++at;
    const bool negative = text[at] == '-';
    if (text[at] == '+' || text[at] == '-') {
      ++at;
    }
    long exponent = 0;
    for (; at < text.size(); ++at) {
      exponent = std::min(exponent * 10 + (text[at] - '0'), kClamp);
    }
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude;
}

}  // namespace

std::int16_t toInt16(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  if (!isDecimalNumber(text)) {
    throw Error(ErrorNumber::TypeMismatch);
  }
  if (text.front() == '+') {
    text.remove_prefix(1);
  }
  double value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status == std::errc::result_out_of_range) {
    // Too small reads as zero; too large is far outside 16 bits.
    if (decimalMagnitude(text) < 0) {
      return 0;
    }
    throw Error(ErrorNumber::Overflow);
  }
  if (status != std::errc{} || end != text.data() + text.size()) {
    throw Error(ErrorNumber::TypeMismatch);
  }
  const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
    throw Error(ErrorNumber::Overflow);
  }
  return static_cast<std::int16_t>(rounded);
}

std::string decimal(long long value) {
  char buffer[24];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
  return {std::begin(buffer), result.ptr};
}

std::u16string toUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t code = 0xFFFD;
    std::size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead >> 5) == 0x6) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead >> 4) == 0xE) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead >> 3) == 0x1E) {
      length = 4;
      code = lead & 0x07;
    }
    if (length > 1) {
      if (i + length > utf8.size()) {
        code = 0xFFFD;
        length = utf8.size() - i;
      } else {
        for (std::size_t k = 1; k < length; ++k) {
          const auto next = static_cast<unsigned char>(utf8[i + k]);
          if ((next >> 6) != 0x2) {
            code = 0xFFFD;
            length = k;
            break;
          }
          code = (code << 6) | (next & 0x3F);
        }
      }
    }
    if (code >= 0x10000 && code <= 0x10FFFF) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else if (code > 0x10FFFF) {
      out.push_back(u'\xFFFD');
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::string toUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace ui
