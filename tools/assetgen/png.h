#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace assetgen {

// An 8-bit RGB or RGBA PNG of 0xAARRGGBB pixels, row-major from the top-left.
// The rows are unfiltered and deflated by zlib at its best compression, so the
// same pixels always give the same bytes.
std::vector<std::uint8_t> encode_png(int width, int height, std::span<const std::uint32_t> pixels,
                                     bool with_alpha);

}  // namespace assetgen
