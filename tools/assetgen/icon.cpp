#include "icon.h"

#include <stdexcept>

#include "palette.h"

namespace assetgen {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 4;
constexpr std::uint8_t kColourCount = 16;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
  out.push_back(static_cast<std::uint8_t>((value >> 8U) & 0xFFU));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFFU);
  put16(out, value >> 16U);
}

// Rows of a bottom-up DIB are padded to whole 32-bit words.
std::size_t stride(int width, int bits) {
  return static_cast<std::size_t>((width * bits + 31) / 32) * 4;
}

bool transparent(std::uint32_t argb) {
  return (argb >> 24U) == 0;
}

std::uint8_t side_byte(int side) {
  return static_cast<std::uint8_t>(side == 256 ? 0 : side);
}

// The directory entry fields both the group and the .ico file share.
void put_entry_head(std::vector<std::uint8_t>& out, const Art& art, std::size_t bytes) {
  out.push_back(side_byte(art.size.width));
  out.push_back(side_byte(art.size.height));
  out.push_back(kColourCount);
  out.push_back(0);  // reserved
  put16(out, 1);     // planes
  put16(out, kBitsPerPixel);
  put32(out, static_cast<std::uint32_t>(bytes));
}

void put_directory_head(std::vector<std::uint8_t>& out, std::size_t count) {
  put16(out, 0);  // reserved
  put16(out, 1);  // type: icon
  put16(out, static_cast<std::uint32_t>(count));
}

}  // namespace

std::vector<std::uint8_t> icon_image(const Art& art) {
  const int width = art.size.width;
  const int height = art.size.height;
  const std::size_t colour_stride = stride(width, kBitsPerPixel);
  const std::size_t mask_stride = stride(width, 1);
  const auto rows = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> colour(colour_stride * rows, 0);
  std::vector<std::uint8_t> mask(mask_stride * rows, 0);
  for (int y = 0; y < height; ++y) {
    const auto dib_row = static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t argb =
          art.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)];
      const auto column = static_cast<std::size_t>(x);
      if (transparent(argb)) {
        // Black under a set mask bit leaves the screen as it is.
        mask[dib_row * mask_stride + column / 8] |=
            static_cast<std::uint8_t>(0x80U >> (column % 8));
        continue;
      }
      const auto index = standard_index(argb);
      if (!index) {
        throw std::invalid_argument("icon_image: a colour outside the standard palette");
      }
      const unsigned shift = column % 2 == 0 ? 4 : 0;
      colour[dib_row * colour_stride + column / 2] |=
          static_cast<std::uint8_t>(static_cast<unsigned>(*index) << shift);
    }
  }

  std::vector<std::uint8_t> out;
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(2 * height));  // colour bitmap and mask stacked
  put16(out, 1);                                       // planes
  put16(out, kBitsPerPixel);
  put32(out, 0);  // BI_RGB
  put32(out, static_cast<std::uint32_t>(colour.size() + mask.size()));
  put32(out, 0);  // horizontal resolution
  put32(out, 0);  // vertical resolution
  put32(out, 0);  // colours used: all 16
  put32(out, 0);  // important colours: all
  for (const std::uint32_t rgb : kStandardPalette) {
    out.push_back(static_cast<std::uint8_t>(rgb & 0xFFU));  // RGBQUAD: blue, green, red, 0
    out.push_back(static_cast<std::uint8_t>((rgb >> 8U) & 0xFFU));
    out.push_back(static_cast<std::uint8_t>((rgb >> 16U) & 0xFFU));
    out.push_back(0);
  }
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

std::vector<std::uint8_t> icon_group(std::span<const Art* const> images) {
  std::vector<std::uint8_t> out;
  put_directory_head(out, images.size());
  for (const Art* art : images) {
    if (!art->resource) {
      throw std::invalid_argument("icon_group: an image without a resource id");
    }
    put_entry_head(out, *art, icon_image(*art).size());
    put16(out, static_cast<std::uint32_t>(*art->resource));
  }
  return out;
}

std::vector<std::uint8_t> ico_file(std::span<const Art* const> images) {
  constexpr std::size_t kDirectoryHead = 6;
  constexpr std::size_t kEntrySize = 16;
  std::vector<std::uint8_t> out;
  put_directory_head(out, images.size());
  std::vector<std::uint8_t> data;
  for (const Art* art : images) {
    const auto image = icon_image(*art);
    put_entry_head(out, *art, image.size());
    put32(out,
          static_cast<std::uint32_t>(kDirectoryHead + kEntrySize * images.size() + data.size()));
    data.insert(data.end(), image.begin(), image.end());
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace assetgen
