#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

// Text for the W functions of the Windows API.
namespace platform::win32 {

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
    throw std::invalid_argument("Text that the system cannot convert");
  }
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), length);
  return result;
}

}  // namespace platform::win32
