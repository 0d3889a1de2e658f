#include "png.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace assetgen {
namespace {

constexpr std::size_t kMaxStoredBlock = 0xFFFF;

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
    }
    table[n] = c;
  }
  return table;
}

constexpr auto kCrcTable = make_crc_table();

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
  put_be32(out, crc32(std::span(out).subspan(start)));
}

// The zlib stream of `raw` in stored blocks.
std::vector<std::uint8_t> stored_zlib(std::span<const std::uint8_t> raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kMaxStoredBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    const auto len = static_cast<std::uint16_t>(length);
    const auto nlen = static_cast<std::uint16_t>(~len);
    out.push_back(static_cast<std::uint8_t>(len & 0xFFU));
    out.push_back(static_cast<std::uint8_t>(len >> 8U));
    out.push_back(static_cast<std::uint8_t>(nlen & 0xFFU));
    out.push_back(static_cast<std::uint8_t>(nlen >> 8U));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  put_be32(out, adler32(raw));
  return out;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t c = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    c = kCrcTable[(c ^ byte) & 0xFFU] ^ (c >> 8U);
  }
  return c ^ 0xFFFFFFFFU;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kModulus = 65521;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : bytes) {
    a = (a + byte) % kModulus;
    b = (b + a) % kModulus;
  }
  return (b << 16U) | a;
}

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
  // Bit depth 8, colour type RGBA (6) or RGB (2), deflate, no filtering scheme, no interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(with_alpha ? 6 : 2), 0, 0, 0});
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", stored_zlib(raw));
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace assetgen
