// Ends with status 0 when the font of message boxes has Arabic glyphs, as
// scripts/wine-arabic-font should leave a Wine prefix; 1 otherwise.
#include <windows.h>

#include <algorithm>
#include <array>

int main() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) == FALSE) {
    return 1;
  }
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SelectObject(dc, ::CreateFontIndirectW(&metrics.lfMessageFont));
  constexpr std::array<wchar_t, 3> kLetters{L'\u0644', L'\u0642', L'\u062F'};  // lam, qaf, dal
  std::array<WORD, kLetters.size()> glyphs{};
  const DWORD count = ::GetGlyphIndicesW(dc, kLetters.data(), kLetters.size(), glyphs.data(),
                                         GGI_MARK_NONEXISTING_GLYPHS);
  return count == kLetters.size() && std::ranges::count(glyphs, 0xFFFF) == 0 ? 0 : 1;
}
