#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/error.h"

// Text for the W functions of the Windows API.
namespace ui::win32 {

// Narrow text to the UTF-16 that the W functions take: the model's UTF-8 by
// default, or text in another code page (the registry's narrow text is in
// the system's, CP_ACP). Malformed input becomes U+FFFD.
[[nodiscard]] inline std::wstring wide(std::string_view text, UINT codePage = CP_UTF8) {
  if (text.empty()) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) {
    throw Error(ErrorNumber::InvalidArgument);
  }
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), length);
  return result;
}

// True when the first character with a strong direction is written right to
// left (Hebrew, Arabic and their neighbours); text without one reads left to right.
[[nodiscard]] bool isRightToLeft(std::wstring_view text);

}  // namespace ui::win32
