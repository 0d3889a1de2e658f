#include "png.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

namespace assetgen {
namespace {

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> static_cast<unsigned>(shift)));
  }
}

void put_chunk(std::vector<std::uint8_t>& out, std::string_view type,
               std::span<const std::uint8_t> data) {
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const std::span<const std::uint8_t> typed = std::span(out).subspan(start);
  put_be32(out,
           static_cast<std::uint32_t>(::crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// The zlib stream of `raw`; zlib at a fixed level always gives the same bytes.
std::vector<std::uint8_t> deflated(std::span<const std::uint8_t> raw) {
  uLongf size = ::compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(size);
  if (::compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("encode_png: zlib could not compress the image");
  }
  out.resize(size);
  return out;
}

}  // namespace

std::vector<std::uint8_t> encode_png(int width, int height, std::span<const std::uint32_t> pixels,
                                     bool with_alpha) {
  if (width < 1 || height < 1 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw std::invalid_argument("encode_png: the pixel count does not match the size");
  }
  const std::size_t channels = with_alpha ? 4 : 3;
  const auto row_pixels = static_cast<std::size_t>(width);
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + row_pixels * channels));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (i % row_pixels == 0) {
      raw.push_back(0);  // filter type None
    }
    const std::uint32_t p = pixels[i];
    raw.push_back(static_cast<std::uint8_t>(p >> 16U));
    raw.push_back(static_cast<std::uint8_t>(p >> 8U));
    raw.push_back(static_cast<std::uint8_t>(p));
    if (with_alpha) {
      raw.push_back(static_cast<std::uint8_t>(p >> 24U));
    }
  }

  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  put_be32(header, static_cast<std::uint32_t>(width));
  put_be32(header, static_cast<std::uint32_t>(height));
  // Bit depth 8, colour type RGBA (6) or RGB (2), deflate, the standard filters, no interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(with_alpha ? 6 : 2), 0, 0, 0});
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", deflated(raw));
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace assetgen
