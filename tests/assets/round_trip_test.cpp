// What the generator writes, read back as a PNG or icon reader would and
// compared pixel for pixel with the art it came from.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "generator.h"
#include "png.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB
};

void require(bool ok, const std::string& what) {
  if (!ok) {
    throw std::runtime_error("damaged: " + what);
  }
}

std::uint32_t be32(const Bytes& b, std::size_t at) {
  return std::uint32_t{b.at(at)} << 24U | std::uint32_t{b.at(at + 1)} << 16U |
         std::uint32_t{b.at(at + 2)} << 8U | b.at(at + 3);
}
std::uint32_t le16(const Bytes& b, std::size_t at) {
  return b.at(at) | std::uint32_t{b.at(at + 1)} << 8U;
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16U;
}

// An 8-bit RGB or RGBA PNG as the generator writes it: every chunk's CRC
// checked, no row filtered.
Image decode_png(const Bytes& png) {
  const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  require(
      png.size() > signature.size() && std::equal(signature.begin(), signature.end(), png.begin()),
      "signature");
  Bytes header;
  Bytes compressed;
  std::size_t at = signature.size();
  for (bool ended = false; !ended; at += 12 + be32(png, at)) {
    const std::uint32_t length = be32(png, at);
    require(at + 12 + length <= png.size(), "chunk length");
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    require(::crc32(0, &png[at + 4], length + 4) == be32(png, at + 8 + length), type + " CRC");
    const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
    if (type == "IHDR") {
      header.assign(data, data + length);
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + length);
    }
    ended = type == "IEND";
  }
  require(at == png.size() && header.size() == 13, "chunks");
  // 8 bits, RGB or RGBA, deflate, the standard filters, no interlace.
  require(header[8] == 8 && (header[9] == 2 || header[9] == 6) && header[10] == 0 &&
              header[11] == 0 && header[12] == 0,
          "IHDR format");
  Image image{static_cast<int>(be32(header, 0)), static_cast<int>(be32(header, 4)), {}};
  const std::size_t channels = header[9] == 6 ? 4 : 3;
  const std::size_t row = static_cast<std::size_t>(image.width) * channels;
  Bytes raw(static_cast<std::size_t>(image.height) * (row + 1));
  uLongf size = raw.size();
  require(::uncompress(raw.data(), &size, compressed.data(), compressed.size()) == Z_OK &&
              size == raw.size(),
          "image data");
  for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
    require(raw[y * (row + 1)] == 0, "row filter");  // the writer filters no row
    const std::uint8_t* line = &raw[y * (row + 1) + 1];
    for (std::size_t i = 0; i < row; i += channels) {
      const std::uint32_t alpha = channels == 4 ? line[i + 3] : 0xFFU;
      image.pixels.push_back(alpha << 24U | static_cast<std::uint32_t>(line[i]) << 16U |
                             static_cast<std::uint32_t>(line[i + 1]) << 8U | line[i + 2]);
    }
  }
  return image;
}

// A BMP-format icon image: its palette's colour where the AND mask is clear;
// where it is set, transparent over black (0) or the colour with alpha 0 (the
// screen inverted), which no art has.
Image decode_dib(const Bytes& dib) {
  require(le32(dib, 0) == 40 && le16(dib, 12) == 1 && le32(dib, 16) == 0, "BITMAPINFOHEADER");
  const std::uint32_t bits = le16(dib, 14);
  require(bits == 4, "bits per pixel");  // what the generator writes
  Image image{static_cast<int>(le32(dib, 4)), static_cast<int>(le32(dib, 8) / 2), {}};
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  const std::size_t colours = le32(dib, 32) != 0 ? le32(dib, 32) : std::size_t{1} << bits;
  const std::size_t colour_at = 40 + 4 * colours;
  const std::size_t colour_stride = (width * bits + 31) / 32 * 4;
  const std::size_t mask_at = colour_at + colour_stride * height;
  const std::size_t mask_stride = (width + 31) / 32 * 4;
  require(mask_at + mask_stride * height == dib.size(), "image size");
  for (std::size_t y = 0; y < height; ++y) {
    const std::size_t row = height - 1 - y;  // bottom-up
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t bit = x * bits;
      const std::uint32_t index =
          (dib[colour_at + row * colour_stride + bit / 8] >> (8 - bits - bit % 8)) &
          ((1U << bits) - 1);
      require(index < colours, "colour index");
      const std::uint32_t rgb = le32(dib, 40 + 4 * index) & 0xFFFFFFU;
      const bool masked = ((dib[mask_at + row * mask_stride + x / 8] >> (7 - x % 8)) & 1U) != 0;
      image.pixels.push_back(masked ? rgb : 0xFF000000U | rgb);
    }
  }
  return image;
}

struct Entry {
  int width;
  int height;
  std::uint32_t bits;
  std::uint32_t bytes;
  std::uint32_t place;  // the image's offset in a .ico, its resource id in a group
};

std::vector<Entry> directory(const Bytes& data, bool group) {
  require(le16(data, 0) == 0 && le16(data, 2) == 1, "icon directory head");
  const std::size_t entry_size = group ? 14 : 16;
  std::vector<Entry> entries;
  for (std::size_t i = 0, at = 6; i < le16(data, 4); ++i, at += entry_size) {
    const auto side = [&](std::size_t byte) { return data.at(byte) == 0 ? 256 : data.at(byte); };
    require(le16(data, at + 4) == 1, "planes");
    entries.push_back({side(at), side(at + 1), le16(data, at + 6), le32(data, at + 8),
                       group ? le16(data, at + 12) : le32(data, at + 12)});
  }
  return entries;
}

void expect_shows(const Image& image, const assetgen::Art& art, const std::string& what) {
  EXPECT_EQ(image.width, art.size.width) << what;
  EXPECT_EQ(image.height, art.size.height) << what;
  EXPECT_TRUE(image.pixels == art.pixels) << what << " differs from " << art.source;
}

// Generates the outputs of an icon's images and reads them back: the desktop
// icons, the .ico and the resources. Returns the desktop icons' total size.
std::size_t expect_round_trip(const std::vector<assetgen::Art>& arts) {
  std::map<int, const assetgen::Art*> by_side;
  for (const assetgen::Art& art : arts) {
    by_side.emplace(art.size.width, &art);
  }
  std::map<std::string, Bytes> files;
  for (auto& file : assetgen::build_outputs(arts, "vorel")) {
    files.emplace(file.path.generic_string(), std::move(file.bytes));
  }
  std::size_t desktop_bytes = 0;
  for (const auto& [side, art] : by_side) {
    const std::string name =
        "icons/hicolor/" + std::to_string(side) + "x" + std::to_string(side) + "/apps/vorel.png";
    const Bytes& png = files.at(name);
    expect_shows(decode_png(png), *art, name);
    desktop_bytes += png.size();
  }

  // The .ico and the resources hold the window icon's images, those with a resource id.
  const Bytes& ico = files.at(arts.front().name + ".ico");
  const auto in_file = directory(ico, false);
  const auto in_group = directory(files.at("icon-group.bin"), true);
  const auto with_id = std::count_if(arts.begin(), arts.end(),
                                     [](const assetgen::Art& a) { return a.resource.has_value(); });
  EXPECT_EQ(in_file.size(), static_cast<std::size_t>(with_id));
  EXPECT_EQ(in_group.size(), in_file.size());
  for (std::size_t i = 0; i < std::min(in_file.size(), in_group.size()); ++i) {
    const Entry& entry = in_file[i];
    const assetgen::Art& source = *by_side.at(entry.width);
    require(entry.place + entry.bytes <= ico.size(), "image place");
    const Bytes image(ico.begin() + entry.place, ico.begin() + entry.place + entry.bytes);
    const Bytes& resource = files.at("icon-" + std::to_string(in_group[i].place) + ".bin");
    EXPECT_EQ(in_group[i].place, static_cast<std::uint32_t>(source.resource.value_or(0)));
    EXPECT_TRUE(resource == image) << "the resource of " << source.source;
    EXPECT_EQ(in_group[i].bytes, resource.size());
    for (const Entry& named : {entry, in_group[i]}) {
      EXPECT_EQ(named.height, source.size.height);
      EXPECT_EQ(named.bits, 4U);
    }
    expect_shows(decode_dib(image), source, "the .ico's image " + std::to_string(i));
  }
  return desktop_bytes;
}

TEST(RoundTrip, IconsAndPreviewsShowTheirArt) {
  std::vector<assetgen::Art> snowflake;
  for (const int side : {16, 32, 48, 64, 128}) {
    snowflake.push_back(assetgen::load_art(std::string{VOREL_ART_DIR} + "/snowflake-" +
                                           std::to_string(side) + ".art"));
  }
  EXPECT_LE(expect_round_trip(snowflake), 10'000U);  // stored, not deflated: 97 KB

  // The snowflake is symmetric; this lopsided icon of odd width shows rows or
  // columns in the wrong order, and the padding of each row.
  expect_round_trip(
      {assetgen::parse_art("icon probe\nsize 5 5\nresource 9\ncolour . transparent\n"
                           "colour k 000000\ncolour r ff0000\ncolour c 00ffff\n"
                           "pixels\n.kr..\nc...k\nkk.rc\n....r\nrc.k.\n",
                           "probe.art")});

  // The previews are RGB: alpha is dropped, each channel stays in its place.
  const std::vector<std::uint32_t> colours{0x00123456, 0x80ABCDEF, 0xFF010203,
                                           0x00FEDCBA, 0x7F000001, 0xFFFF8000};
  const Image rgb = decode_png(assetgen::encode_png(3, 2, colours, false));
  ASSERT_EQ(rgb.pixels.size(), colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    EXPECT_EQ(rgb.pixels[i], colours[i] | 0xFF000000U) << i;
  }
}

}  // namespace
