#include <gtest/gtest.h>

#include <set>

#include "assets/pictures.h"
#include "decode.h"

namespace {

using assets_test::decode_icon_image;
using assets_test::decode_png;
using assets_test::le32;
using assets_test::read_file;
using Colours = std::set<std::uint32_t>;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kCyan = 0xFF00FFFF;
constexpr std::uint32_t kDarkCyan = 0xFF008080;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kPurple = 0xFFB7038A;
constexpr std::uint32_t kRedOrange = 0xFFD52101;

std::uint32_t at(const ui::Picture& p, int x, int y) {
  return p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
                  static_cast<std::size_t>(x)];
}

Colours colours_of(const ui::Picture& p) {
  return {p.pixels.begin(), p.pixels.end()};
}

struct Box {
  int left = 1 << 20;
  int top = 1 << 20;
  int right = -1;
  int bottom = -1;
};

// Where `colour` lies in the picture, or in its rows from `first_row` on.
Box box_of(const ui::Picture& p, std::uint32_t colour, int first_row = 0) {
  Box box;
  for (int y = first_row; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (at(p, x, y) == colour) {
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
               std::max(box.bottom, y)};
      }
    }
  }
  return box;
}

TEST(Art, EveryPictureHasItsSizeAndExactlyItsColours) {
  struct Expected {
    const ui::Picture& picture;
    int width;
    int height;
    Colours colours;  // empty: any
  };
  const Expected pictures[] = {
      {assets::ship(), 61, 34, {kBlack, kMagenta, kWhite, kRed, kCyan}},
      {assets::defeat(),
       61,
       34,
       {kBlack, kMagenta, kWhite, kRed, kCyan, 0xFFAC0422, 0xFFDE003E, 0xFFDE0049}},
      {assets::enemy(), 32, 35, {kBlack, kPurple, kRedOrange}},
      {assets::shot(), 2, 3, {0xFFF2FAFA}},
      {assets::flag(), 113, 57, {kBlack, kYellow, kRed, kGreen, kCyan}},
      {assets::portrait(), 108, 143, {}},
  };
  for (const auto& [picture, width, height, colours] : pictures) {
    SCOPED_TRACE(picture.name);
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(width * height));
    const Colours used = colours_of(picture);
    EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](auto c) { return c >> 24U == 0xFF; }))
        << "every pixel of a picture is opaque";
    if (!colours.empty()) {
      EXPECT_EQ(used, colours);
    }
  }
  EXPECT_GE(colours_of(assets::portrait()).size(), 8U) << "the portrait is a real picture";
}

// Mirrored or upside-down art is an easy slip in text; these catch it.
TEST(Art, FiguresFaceTheWayTheGameNeeds) {
  const ui::Picture& ship = assets::ship();
  const Box hull = box_of(ship, kMagenta);
  EXPECT_GE(box_of(ship, kWhite).left, ship.width / 2) << "windows near the nose, at the right";
  EXPECT_LT(box_of(ship, kCyan).right, hull.left + 2) << "streaked flame at the left end";
  EXPECT_GT(box_of(ship, kRed).bottom, hull.bottom) << "a fin beneath";
  EXPECT_GE(hull.right, ship.width - 4) << "the nose at the right edge";

  const ui::Picture& wreck = assets::defeat();
  const auto top = wreck.pixels.subspan(0, static_cast<std::size_t>(wreck.width));
  const auto bottom = wreck.pixels.last(static_cast<std::size_t>(wreck.width));
  EXPECT_TRUE(std::any_of(top.begin(), top.end(), [](auto c) { return c != kBlack; }) &&
              std::any_of(bottom.begin(), bottom.end(), [](auto c) { return c != kBlack; }))
      << "the wreck reaches over the whole height";

  const ui::Picture& enemy = assets::enemy();
  int feet = 0;
  for (int x = 0; x < enemy.width; ++x) {
    const bool purple = at(enemy, x, enemy.height - 1) == kPurple;
    feet += purple && (x == 0 || at(enemy, x - 1, enemy.height - 1) != kPurple) ? 1 : 0;
  }
  EXPECT_EQ(feet, 2) << "an arch on two legs";
  const Box mark = box_of(enemy, kRedOrange);
  EXPECT_NEAR((mark.left + mark.right) / 2.0, (enemy.width - 1) / 2.0, 1.0) << "mark in the middle";

  const ui::Picture& flag = assets::flag();
  const Box pole_foot = box_of(flag, kYellow, flag.height - 1);
  EXPECT_LT(pole_foot.right, flag.width / 4) << "the pole slants down to the lower left";
  EXPECT_GT(box_of(flag, kYellow).right, flag.width - 4) << "the pennant flies to the right";
}

void expect_icon_colours(const std::vector<std::uint32_t>& pixels, int side) {
  const Colours standard{0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                         0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                         0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF, 0x00000000};
  const Colours used(pixels.begin(), pixels.end());
  EXPECT_TRUE(std::includes(standard.begin(), standard.end(), used.begin(), used.end()));
  for (const Colours::value_type c : {kWhite, kCyan, kDarkCyan, kBlack}) {
    EXPECT_TRUE(used.contains(c)) << std::hex << c;
  }
  const auto last = static_cast<std::size_t>(side - 1);
  const auto n = static_cast<std::size_t>(side);
  for (const std::size_t corner : {std::size_t{0}, last, last * n, last * n + last}) {
    EXPECT_EQ(pixels[corner], 0U) << "corner " << corner << " of the " << side << " image";
  }
}

// Two images in the standard colours on a transparent ground, and what the
// build wrote for the Windows resources and the desktop carries them.
TEST(Icon, GeneratedFilesCarryTheTwoImages) {
  const std::filesystem::path dir = VOREL_ASSETS_GENERATED_DIR;
  const auto images = assets::snowflake().images;
  ASSERT_EQ(images.size(), 2U);
  // The small one is drawn on its own, not a reduction of the large one.
  for (const int offset : {0, 1}) {
    std::vector<std::uint32_t> reduced;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        reduced.push_back(at(*images[0], 2 * x + offset, 2 * y + offset));
      }
    }
    EXPECT_FALSE(std::equal(reduced.begin(), reduced.end(), images[1]->pixels.begin()));
  }

  const auto group = read_file(dir / "icon-group.bin");
  ASSERT_EQ(group.size(), 34U);
  for (std::size_t i = 0; i < 2; ++i) {
    const auto bin = read_file(dir / ("icon-" + std::to_string(30001 + i) + ".bin"));
    EXPECT_EQ(le32(group, 6 + 14 * i + 8), bin.size());
    EXPECT_EQ(decode_icon_image(bin).pixels,
              std::vector<std::uint32_t>(images[i]->pixels.begin(), images[i]->pixels.end()));
  }
  for (const int side : {16, 32, 48, 64, 128}) {
    std::string size = std::to_string(side);
    size += 'x' + size;
    const auto png = decode_png(read_file(dir / "icons/hicolor" / size / "apps/vorel.png"));
    ASSERT_EQ(png.width, side);
    ASSERT_EQ(png.height, side);
    expect_icon_colours(png.pixels, side);
    if (side <= 32) {
      const ui::Picture& image = *images[side == 32 ? 0 : 1];
      EXPECT_EQ(image.width, side);
      EXPECT_EQ(png.pixels, std::vector<std::uint32_t>(image.pixels.begin(), image.pixels.end()));
    }
  }
}

}  // namespace
