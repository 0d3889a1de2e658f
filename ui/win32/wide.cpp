#include "ui/win32/wide.h"

namespace ui::win32 {

bool isRightToLeft(std::wstring_view text) {
  for (const wchar_t unit : text) {
    const auto c = static_cast<unsigned>(unit);
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

}  // namespace ui::win32
