#include "ui/text_layout.h"

#include <utility>

#include "ui/paint.h"

namespace ui {
namespace {

// Calls `line` with each line of the text as its line ends cut it.
template <typename F>
void forEachParagraph(std::string_view text, F&& line) {
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    line(text.substr(0, end));
    if (end == std::string_view::npos) {
      return;
    }
    const bool pair = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (pair ? 2 : 1));
  }
}

}  // namespace

std::string withLineFeeds(std::string_view text) {
  std::string lines;
  bool first = true;
  forEachParagraph(text, [&](std::string_view line) {
    lines += std::exchange(first, false) ? "" : "\n";
    lines += line;
  });
  return lines;
}

TextLayout layOutText(std::string_view text, const PixelRect& box, const FontFace& face,
                      Alignment alignment, bool rightToLeft, TextMeasure& measure) {
  TextLayout layout;
  const int height = measure.lineHeight(face);
  int top = box.y;
  const auto place = [&](std::string line) {
    if (top + height > box.bottom()) {
      layout.fits = false;
    }
    if (top < box.bottom()) {
      const int width = measure.width(line, face);
      const int x = alignment == Alignment::Center ? box.x + (box.width - width) / 2
                    : rightToLeft                  ? box.right() - width
                                                   : box.x;
      layout.lines.push_back({std::move(line), x, top});
    }
    top += height;
  };
  forEachParagraph(text, [&](std::string_view paragraph) {
    std::string line;
    std::size_t at = 0;
    do {
      const std::size_t space = paragraph.find(' ', at);
      const std::string_view word = paragraph.substr(at, space - at);
      std::string longer = at == 0 ? std::string(word) : line + ' ' + std::string(word);
      if (at != 0 && measure.width(longer, face) > box.width) {
        place(std::move(line));
        line = std::string(word);
      } else {
        line = std::move(longer);
      }
      at = space == std::string_view::npos ? paragraph.size() + 1 : space + 1;
    } while (at <= paragraph.size());
    place(std::move(line));
  });
  return layout;
}

}  // namespace ui
