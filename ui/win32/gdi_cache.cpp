#include "ui/win32/gdi_cache.h"

#include <cstring>
#include <vector>

#include "platform/win32/wide.h"
#include "ui/picture.h"
#include "ui/win32/dc_canvas.h"

namespace ui::win32 {
namespace {

using platform::win32::BitmapHandle;

template <typename Map, typename Key, typename Make>
auto cached(Map& map, const Key& key, Make make) {
  auto [found, added] = map.try_emplace(key);
  if (added) {
    found->second = make();
  }
  return found->second.get();
}

}  // namespace

HICON GdiCache::icon(const ui::Picture& picture) {
  return cached(icons_, &picture, [&] {
    // The pixels as they are, in a DIB section: their alpha decides what
    // shows, and the mask only has to be there, all opaque.
    const BITMAPINFO header = dibInfo(picture);
    void* bits = nullptr;
    const BitmapHandle color(
        ::CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr || !picture.complete()) {
      return platform::win32::IconHandle();
    }
    std::memcpy(bits, picture.pixels.data(),
                static_cast<std::size_t>(picture.width * picture.height) * sizeof(std::uint32_t));
    ::GdiFlush();
    const std::vector<BYTE> opaque(static_cast<std::size_t>((picture.width + 15) / 16 * 2) *
                                   static_cast<std::size_t>(picture.height));
    const BitmapHandle mask(::CreateBitmap(picture.width, picture.height, 1, 1, opaque.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return platform::win32::IconHandle(::CreateIconIndirect(&info));
  });
}

HFONT GdiCache::font(const ui::FontFace& face) {
  const auto key = std::tuple(std::string(face.family), face.pixelSize, face.weight, face.italic);
  return cached(fonts_, key, [&] {
    // The default character set: with the Arabic one Wine picks a wider face.
    LOGFONTW font{.lfHeight = -face.pixelSize,
                  .lfWeight = static_cast<LONG>(face.weight),
                  .lfItalic = static_cast<BYTE>(face.italic),
                  .lfCharSet = DEFAULT_CHARSET};
    const std::wstring family = platform::win32::wide(face.family).substr(0, LF_FACESIZE - 1);
    family.copy(font.lfFaceName, family.size());
    return platform::win32::FontHandle(::CreateFontIndirectW(&font));
  });
}

}  // namespace ui::win32
