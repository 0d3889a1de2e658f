#include <gtest/gtest.h>

#include <set>

#include "assets/pictures.h"
#include "decode.h"

namespace {

using assets_test::decode_icon_image;
using assets_test::decode_png;
using assets_test::le32;
using assets_test::read_file;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kCyan = 0xFF00FFFF;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kPurple = 0xFFB7038A;
constexpr std::uint32_t kRedOrange = 0xFFD52101;

std::uint32_t at(const ui::Picture& p, int x, int y) {
  return p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
                  static_cast<std::size_t>(x)];
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

// What the build wrote for the Windows resources and the desktop carries the
// icon's two images; the larger desktop sizes keep to the standard colours on
// a transparent ground.
TEST(Icon, GeneratedFilesCarryTheTwoImages) {
  const std::filesystem::path dir = VOREL_ASSETS_GENERATED_DIR;
  const auto images = assets::snowflake().images;
  ASSERT_EQ(images.size(), 2U);
  const auto pixels = [](const ui::Picture& image) {
    return std::vector<std::uint32_t>(image.pixels.begin(), image.pixels.end());
  };

  const auto group = read_file(dir / "icon-group.bin");
  ASSERT_EQ(group.size(), 34U);
  for (std::size_t i = 0; i < 2; ++i) {
    const auto bin = read_file(dir / ("icon-" + std::to_string(30001 + i) + ".bin"));
    EXPECT_EQ(le32(group, 6 + 14 * i + 8), bin.size());
    EXPECT_EQ(decode_icon_image(bin).pixels, pixels(*images[i]));
  }
  std::set<std::uint32_t> allowed{0};
  for (const std::uint32_t rgb : assets_test::kIconPalette) {
    allowed.insert(0xFF000000U | rgb);
  }
  for (const int side : {16, 32, 48, 64, 128}) {
    std::string size = std::to_string(side);
    size += 'x' + size;
    const auto png = decode_png(read_file(dir / "icons/hicolor" / size / "apps/vorel.png"));
    ASSERT_EQ(png.width, side);
    ASSERT_EQ(png.height, side);
    for (const std::uint32_t p : png.pixels) {
      ASSERT_TRUE(allowed.contains(p)) << std::hex << p << " in the " << size << " image";
    }
    const auto last = static_cast<std::size_t>(side - 1);
    const auto n = static_cast<std::size_t>(side);
    for (const std::size_t corner : {std::size_t{0}, last, last * n, last * n + last}) {
      EXPECT_EQ(png.pixels[corner], 0U) << "corner " << corner << " of the " << size << " image";
    }
    if (side <= 32) {
      EXPECT_EQ(png.pixels, pixels(*images[side == 32 ? 0 : 1]));
    }
  }
}

}  // namespace
