#pragma once

#include <windows.h>

#include "ui/paint.h"

namespace ui::win32 {

class GdiCache;

[[nodiscard]] constexpr COLORREF colorRef(ui::Color color) {
  return RGB(color.red(), color.green(), color.blue());
}
[[nodiscard]] constexpr RECT toRect(const ui::PixelRect& area) {
  return {area.x, area.y, area.right(), area.bottom()};
}
// The header of a picture's pixels as a 32-bit DIB whose top row comes first:
// their 0xAARRGGBB words are its blue, green, red and alpha bytes.
[[nodiscard]] BITMAPINFO dibInfo(const ui::Picture& picture);

// What the model paints, on a device context, measured with the fonts it is
// drawn in.
class DcCanvas final : public ui::Canvas, public ui::TextMeasure {
 public:
  DcCanvas(HDC dc, GdiCache& gdi);

  void fill(const ui::PixelRect& area, ui::Color color) override;
  void drawPicture(const ui::Picture& picture, const ui::PixelRect& to) override;
  void drawText(const ui::TextLine& line, const ui::TextStyle& style,
                const ui::PixelRect& clip) override;
  int width(std::string_view text, const ui::FontFace& face) override;
  int lineHeight(const ui::FontFace& face) override;

 private:
  HDC dc_;
  GdiCache* gdi_;
};

}  // namespace ui::win32
