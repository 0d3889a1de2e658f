#pragma once

#include "ui/picture.h"

// The game's pictures and icon, generated at build time from the text art in
// this folder.
namespace assets {

const ui::Picture& ship() noexcept;      // 61 x 34, the player's ship
const ui::Picture& defeat() noexcept;    // 61 x 34, the wrecked ship
const ui::Picture& enemy() noexcept;     // 32 x 35
const ui::Picture& shot() noexcept;      // 2 x 3
const ui::Picture& flag() noexcept;      // 113 x 57, "The End" pennant
const ui::Picture& portrait() noexcept;  // 108 x 143, the About window's picture
const ui::Icon& snowflake() noexcept;    // 32 x 32 and 16 x 16, with transparency

}  // namespace assets
