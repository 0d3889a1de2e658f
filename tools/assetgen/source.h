#pragma once

#include <span>
#include <string>

#include "art.h"

namespace assetgen {

// The C++ source defining the functions of assets/pictures.h: one function per
// picture, named after it, and one per icon returning its images, largest first.
// Every table is constexpr, so nothing is initialised at run time.
std::string picture_source(std::span<const Art* const> pictures, std::span<const Art* const> icon);

}  // namespace assetgen
