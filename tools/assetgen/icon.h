#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "art.h"

// Windows icon data for 4-bit icons with a 1-bit transparency mask.
namespace assetgen {

// The RT_ICON resource of one image: BITMAPINFOHEADER, the standard palette,
// the 4-bit colour bitmap and the 1-bit mask, both bottom-up.
std::vector<std::uint8_t> icon_image(const Art& art);

// The RT_GROUP_ICON resource naming `images` (each with its resource id) in order.
std::vector<std::uint8_t> icon_group(std::span<const Art* const> images);

// A .ico file holding `images` in order.
std::vector<std::uint8_t> ico_file(std::span<const Art* const> images);

}  // namespace assetgen
