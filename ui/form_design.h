#pragma once

#include <cstdint>
#include <string_view>

#include "ui/color.h"
#include "ui/picture.h"

namespace ui {

enum class BorderStyle : std::uint8_t {
  Sizable,      // title bar, system menu, minimise and maximise
  FixedDialog,  // title bar and close box only; not resizable, no icon
};

struct FormDesign {
  std::string_view caption;
  std::string_view help;  // how to use the window, for a screen reader
  int clientWidth = 0;    // twips
  int clientHeight = 0;   // twips
  Color background = Color::system(SystemColor::ButtonFace);
  BorderStyle border = BorderStyle::Sizable;
  const Icon* icon = nullptr;
  int left = 0;  // design position of the client area on the screen, twips
  int top = 0;
};

}  // namespace ui
