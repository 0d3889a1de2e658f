#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/accessibility.h"
#include "ui/geometry.h"

namespace ui {

class CommandButton;
struct Icon;

// A command button's caption as it is shown: the design marks the access key
// with a single '&' before its letter and writes a literal ampersand as "&&".
struct ShownCaption {
  std::string text;                             // without the marks
  std::size_t accessKeyAt = std::string::npos;  // the byte of `text` shown underlined
  char32_t accessKey = 0;                       // that letter in upper case; 0: none
};
[[nodiscard]] ShownCaption shownCaption(std::string_view designed);
// The caption again in the '&' markup that native buttons read, from what it shows.
[[nodiscard]] std::string markedCaption(const ShownCaption& caption);

// A command button as its window shows it.
struct ButtonFace {
  CommandButton* control = nullptr;
  ShownCaption caption;
  PixelRect place;  // in the client area, in the model's pixels
  bool visible = true;
};

// What a window shows: one value, made again only after the form changed, that
// every driver applies. The screen reader's items are Form::accessibleItems().
struct WindowFace {
  std::string caption;
  PixelRect place;  // where the client area first appears, and its size
  // Fixed in size, without an icon; its keys are its buttons' and it types nothing.
  bool dialog = false;
  const Icon* icon = nullptr;
  std::vector<ButtonFace> buttons;        // in tab order
  const CommandButton* focus = nullptr;   // the keyboard's; nullptr: the window itself
  const CommandButton* framed = nullptr;  // the one with the default frame, which Enter clicks
  AccessibleWindow reader;
};

}  // namespace ui
