#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace assetgen {

// An 8-bit RGB or RGBA PNG of 0xAARRGGBB pixels, row-major from the top-left.
// The image data is deflated in stored (uncompressed) blocks.
std::vector<std::uint8_t> encode_png(int width, int height, std::span<const std::uint32_t> pixels,
                                     bool with_alpha);

std::uint32_t crc32(std::span<const std::uint8_t> bytes);
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

}  // namespace assetgen
