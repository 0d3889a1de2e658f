// Ends with status 0 when the font of message boxes has Arabic glyphs, as
// scripts/wine-arabic-font should leave a Wine prefix; 1 otherwise.
#include <windows.h>

int main() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SelectObject(dc, ::CreateFontIndirectW(&metrics.lfMessageFont));
  WORD glyph = 0xFFFF;  // stays so when the call fails
  ::GetGlyphIndicesW(dc, L"\u0644", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);  // lam
  return glyph == 0xFFFF ? 1 : 0;
}
