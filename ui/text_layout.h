#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/font.h"
#include "ui/geometry.h"

namespace ui {

class TextMeasure;

enum class Alignment : std::uint8_t { Left, Center };

// A line of a label's text, placed: its top left in device pixels.
struct TextLine {
  std::string text;
  int x = 0;
  int y = 0;
};

// A label's caption broken into lines that fit its box.
struct TextLayout {
  std::vector<TextLine> lines;  // those that start inside the box
  bool fits = true;             // every line ends inside the box
};

// The text with each line end (CR LF, CR or LF) as one LF, none at its end.
[[nodiscard]] std::string withLineFeeds(std::string_view text);

// Breaks the text into lines: at each line end (CR LF, CR or LF; a last one
// ends the last line), then between words where the next word would reach
// past the box's width; a word wider than the box stands on a line of its
// own, cut off at the box's edge. Lines stack from the box's top. Left
// alignment is the start of the text's direction: the right edge for text
// that reads right to left.
[[nodiscard]] TextLayout layOutText(std::string_view text, const PixelRect& box,
                                    const FontFace& face, Alignment alignment, bool rightToLeft,
                                    TextMeasure& measure);

}  // namespace ui
