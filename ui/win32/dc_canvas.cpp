#include "ui/win32/dc_canvas.h"

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "ui/text_layout.h"
#include "ui/win32/gdi_cache.h"

namespace ui::win32 {

using platform::win32::Selection;
using platform::win32::wide;

BITMAPINFO dibInfo(const ui::Picture& picture) {
  return {.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER),
                        .biWidth = picture.width,
                        .biHeight = -picture.height,
                        .biPlanes = 1,
                        .biBitCount = 32}};
}

DcCanvas::DcCanvas(HDC dc, GdiCache& gdi) : dc_(dc), gdi_(&gdi) {
  ::SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  ::SetBkMode(dc, TRANSPARENT);
  // Pixels are repeated or dropped whole when scaled, never blended.
  ::SetStretchBltMode(dc, COLORONCOLOR);
}

void DcCanvas::fill(const ui::PixelRect& area, ui::Color color) {
  const RECT rect = toRect(area);
  ::SetDCBrushColor(dc_, colorRef(color));
  ::FillRect(dc_, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

// Straight from the picture's own pixels.
void DcCanvas::drawPicture(const ui::Picture& picture, const ui::PixelRect& to) {
  const BITMAPINFO info = dibInfo(picture);
  if (picture.complete()) {
    ::StretchDIBits(dc_, to.x, to.y, to.width, to.height, 0, 0, picture.width, picture.height,
                    picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
}

void DcCanvas::drawText(const ui::TextLine& line, const ui::TextStyle& style,
                        const ui::PixelRect& clip) {
  const std::wstring text = wide(line.text);
  const RECT box = toRect(clip);
  const Selection font(dc_, gdi_->font(style.face));
  ::SetTextColor(dc_, colorRef(style.color));
  ::ExtTextOutW(dc_, line.x, line.y, ETO_CLIPPED | (style.rightToLeft ? ETO_RTLREADING : 0U), &box,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

int DcCanvas::width(std::string_view text, const ui::FontFace& face) {
  const std::wstring run = wide(text);
  const Selection font(dc_, gdi_->font(face));
  SIZE size{};
  ::GetTextExtentPoint32W(dc_, run.c_str(), static_cast<int>(run.size()), &size);
  return size.cx;
}

int DcCanvas::lineHeight(const ui::FontFace& face) {
  const Selection font(dc_, gdi_->font(face));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc_, &metrics);
  return metrics.tmHeight;
}

}  // namespace ui::win32
