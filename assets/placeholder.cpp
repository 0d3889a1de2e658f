#include <array>
#include <cstdint>

#include "assets/pictures.h"

namespace assets {
namespace {

template <int W, int H>
struct Solid {
  std::array<std::uint32_t, static_cast<std::size_t>(W * H)> pixels;
  constexpr explicit Solid(std::uint32_t colour) : pixels() { pixels.fill(colour); }
};

constexpr Solid<61, 34> kShipPixels(0xFFFF00FF);
constexpr Solid<61, 34> kDefeatPixels(0xFFAC0422);
constexpr Solid<32, 35> kEnemyPixels(0xFFB7038A);
constexpr Solid<2, 3> kShotPixels(0xFFF2FAFA);
constexpr Solid<113, 57> kFlagPixels(0xFFFFFF00);
constexpr Solid<108, 143> kPortraitPixels(0xFF808080);
constexpr Solid<32, 32> kIcon32Pixels(0xFF00FFFF);
constexpr Solid<16, 16> kIcon16Pixels(0xFF00FFFF);

constexpr ui::Picture kShip{"ship", 61, 34, kShipPixels.pixels};
constexpr ui::Picture kDefeat{"defeat", 61, 34, kDefeatPixels.pixels};
constexpr ui::Picture kEnemy{"enemy", 32, 35, kEnemyPixels.pixels};
constexpr ui::Picture kShot{"shot", 2, 3, kShotPixels.pixels};
constexpr ui::Picture kFlag{"flag", 113, 57, kFlagPixels.pixels};
constexpr ui::Picture kPortrait{"portrait", 108, 143, kPortraitPixels.pixels};
constexpr ui::Picture kIcon32{"snowflake32", 32, 32, kIcon32Pixels.pixels};
constexpr ui::Picture kIcon16{"snowflake16", 16, 16, kIcon16Pixels.pixels};
constexpr std::array<const ui::Picture*, 2> kIconImages{&kIcon32, &kIcon16};
constexpr ui::Icon kSnowflake{kIconImages};

}  // namespace

const ui::Picture& ship() { return kShip; }
const ui::Picture& defeat() { return kDefeat; }
const ui::Picture& enemy() { return kEnemy; }
const ui::Picture& shot() { return kShot; }
const ui::Picture& flag() { return kFlag; }
const ui::Picture& portrait() { return kPortrait; }
const ui::Icon& snowflake() { return kSnowflake; }

}  // namespace assets
