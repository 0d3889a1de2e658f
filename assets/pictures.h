#pragma once

#include "ui/picture.h"

// The game's pictures and icon, generated at build time from the text art in
// this folder.
namespace assets {

const ui::Picture& ship();      // 61 x 34, the player's ship
const ui::Picture& defeat();    // 61 x 34, the wrecked ship
const ui::Picture& enemy();     // 32 x 35
const ui::Picture& shot();      // 2 x 3
const ui::Picture& flag();      // 113 x 57, "The End" pennant
const ui::Picture& portrait();  // 108 x 143, the About window's picture
const ui::Icon& snowflake();    // 32 x 32 and 16 x 16, with transparency

}  // namespace assets
