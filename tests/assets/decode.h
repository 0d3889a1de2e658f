#pragma once

// Independent readers of what the generator writes: a PNG reader for stored
// deflate blocks and a reader of 4-bit icon images. They share no code with
// the generator, so a mistake in one is not mirrored in the other.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace assets_test {

using Bytes = std::vector<std::uint8_t>;

// The 16 standard icon colours as 0xRRGGBB, in palette order.
constexpr std::array<std::uint32_t, 16> kIconPalette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

inline Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24U) | (std::uint32_t{b[at + 1]} << 16U) |
         (std::uint32_t{b[at + 2]} << 8U) | std::uint32_t{b[at + 3]};
}
inline std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8U);
}
inline std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
  return le16(b, at) | (le16(b, at + 2) << 16U);
}

// Bit by bit, as the PNG standard defines it.
inline std::uint32_t slow_crc(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1U) ^ ((crc & 1U) != 0 ? 0xEDB88320U : 0U);
    }
  }
  return ~crc;
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB; opaque when the PNG has no alpha
};

// Fails the running test on any structural fault.
inline Image decode_png(std::span<const std::uint8_t> png) {
  Image image;
  const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  Bytes zlib;
  bool alpha = false;
  std::string types;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = be32(png, at);
    const auto body = png.subspan(at + 8, length);
    types.append(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                 png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    EXPECT_EQ(be32(png, at + 8 + length), slow_crc(png.subspan(at + 4, length + 4))) << types;
    if (types.ends_with("IHDR")) {
      image.width = static_cast<int>(be32(body, 0));
      image.height = static_cast<int>(be32(body, 4));
      EXPECT_EQ(body[8], 8);                      // bit depth
      EXPECT_TRUE(body[9] == 2 || body[9] == 6);  // RGB or RGBA
      alpha = body[9] == 6;
    } else if (types.ends_with("IDAT")) {
      zlib.insert(zlib.end(), body.begin(), body.end());
    }
    at += 12 + length;
  }
  EXPECT_TRUE(types.starts_with("IHDR") && types.ends_with("IEND")) << types;

  // Stored blocks only: header bit 0 is BFINAL, bits 1-2 the type (0).
  Bytes raw;
  EXPECT_EQ((zlib.at(0) * 256 + zlib.at(1)) % 31, 0);
  std::size_t at = 2;
  for (bool last = false; !last;) {
    last = (zlib.at(at) & 1U) != 0;
    EXPECT_EQ(zlib[at] & 6U, 0U) << "not a stored block";
    const std::uint32_t len = le16(zlib, at + 1);
    EXPECT_EQ(len ^ le16(zlib, at + 3), 0xFFFFU);
    raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(at + 5),
               zlib.begin() + static_cast<std::ptrdiff_t>(at + 5 + len));
    at += 5 + len;
  }
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(be32(zlib, at), (b << 16U) | a);

  const std::size_t channels = alpha ? 4 : 3;
  const auto stride = 1 + static_cast<std::size_t>(image.width) * channels;
  if (raw.size() != stride * static_cast<std::size_t>(image.height)) {
    ADD_FAILURE() << "image data of " << raw.size() << " bytes";
    return image;
  }
  for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row) {
    EXPECT_EQ(raw[row * stride], 0) << "filter of row " << row;
    for (std::size_t x = 0; x < static_cast<std::size_t>(image.width); ++x) {
      const std::uint8_t* p = &raw[row * stride + 1 + x * channels];
      const std::uint32_t alpha_byte = alpha ? p[3] : 0xFFU;
      image.pixels.push_back((alpha_byte << 24U) | (std::uint32_t{p[0]} << 16U) |
                             (std::uint32_t{p[1]} << 8U) | p[2]);
    }
  }
  return image;
}

// A 4-bit RT_ICON image back to 0xAARRGGBB pixels; transparent pixels read 0.
// Fails the running test on a header other than a plain 4-bit one.
inline Image decode_icon_image(std::span<const std::uint8_t> bin) {
  Image image;
  EXPECT_EQ(le32(bin, 0), 40U);  // header size
  EXPECT_EQ(le16(bin, 12), 1U);  // planes
  EXPECT_EQ(le16(bin, 14), 4U);  // bits per pixel
  EXPECT_EQ(le32(bin, 16), 0U);  // uncompressed
  image.width = static_cast<int>(le32(bin, 4));
  image.height = static_cast<int>(le32(bin, 8)) / 2;
  const auto w = static_cast<std::size_t>(image.width);
  const auto h = static_cast<std::size_t>(image.height);
  const std::size_t colour_stride = (w * 4 + 31) / 32 * 4;
  const std::size_t mask_stride = (w + 31) / 32 * 4;
  const std::size_t colours = 40 + 16 * 4;
  const std::size_t mask = colours + colour_stride * h;
  EXPECT_EQ(bin.size(), mask + mask_stride * h);
  EXPECT_EQ(le32(bin, 20), bin.size() - colours);  // image size
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t row = h - 1 - y;  // bottom-up
    for (std::size_t x = 0; x < w; ++x) {
      if ((bin[mask + row * mask_stride + x / 8] & (0x80U >> (x % 8))) != 0) {
        image.pixels.push_back(0);
        continue;
      }
      const std::uint8_t pair = bin[colours + row * colour_stride + x / 2];
      const std::size_t index = x % 2 == 0 ? pair >> 4U : pair & 0x0FU;
      const std::size_t entry = 40 + index * 4;  // RGBQUAD: blue, green, red
      image.pixels.push_back(0xFF000000U | (std::uint32_t{bin[entry + 2]} << 16U) |
                             (std::uint32_t{bin[entry + 1]} << 8U) | bin[entry]);
    }
  }
  return image;
}

}  // namespace assets_test
