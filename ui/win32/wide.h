#pragma once

#include <string>
#include <string_view>

// Text for the W functions of the Windows API.
namespace ui::win32 {

// UTF-8 to the UTF-16 that the W functions take.
[[nodiscard]] std::wstring wide(std::string_view utf8);

// True when the first character with a strong direction is written right to
// left (Hebrew, Arabic and their neighbours); text without one reads left to right.
[[nodiscard]] bool isRightToLeft(std::wstring_view text);

}  // namespace ui::win32
