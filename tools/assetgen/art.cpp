#include "art.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "palette.h"

namespace assetgen {
namespace {

constexpr std::uint32_t kTransparent = 0;

std::string describe_char(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte > 0x20 && byte < 0x7F) {
    return std::string{'\''} + c + '\'';
  }
  std::array<char, 8> hex{};
  std::snprintf(hex.data(), hex.size(), "0x%02X", byte);
  return std::string{"byte "} + hex.data();
}

std::vector<std::string_view> split_words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) {
      return words;
    }
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
}

std::optional<int> parse_int(std::string_view word) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end != word.data() + word.size()) {
    return std::nullopt;
  }
  return value;
}

bool valid_name(std::string_view name) {
  if (name.empty() || name.front() < 'a' || name.front() > 'z') {
    return false;
  }
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

struct PaletteEntry {
  std::uint32_t argb = 0;
  int line = 0;
};

// Reads one file; `line` always holds the number of the line being read.
class Parser {
 public:
  Parser(std::string_view text, std::string_view source) : source_(source) {
    if (text.starts_with("\xEF\xBB\xBF")) {
      text.remove_prefix(3);  // a byte-order mark some editors write
    }
    std::size_t at = 0;
    while (at <= text.size()) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      std::string_view line = text.substr(at, end - at);
      if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
      }
      lines_.push_back(line);
      at = end + 1;
    }
    // A final newline does not start another line.
    if (!lines_.empty() && lines_.back().empty()) {
      lines_.pop_back();
    }
  }

  Art parse() {
    art_.source = std::string{source_};
    read_header();
    read_rows();
    return std::move(art_);
  }

 private:
  [[noreturn]] void fail(std::string_view message) const {
    throw InputError(source_, line_, message);
  }

  Size read_size(const std::vector<std::string_view>& words, int limit) const {
    if (words.size() != 3) {
      fail(std::string{words[0]} + " needs a width and a height");
    }
    const auto width = parse_int(words[1]);
    const auto height = parse_int(words[2]);
    if (!width || !height || *width < 1 || *height < 1 || *width > limit || *height > limit) {
      fail(std::string{words[0]} + " must be two whole numbers from 1 to " + std::to_string(limit));
    }
    return {*width, *height};
  }

  // The words after the keyword, as they go into a string of the C++ source.
  void read_shows(const std::vector<std::string_view>& words) {
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (words[i].find_first_of("\"\\") != std::string_view::npos) {
        fail("shows takes plain words, without quotes or backslashes");
      }
      art_.shows += i == 1 ? "" : " ";
      art_.shows += words[i];
    }
    if (art_.shows.empty()) {
      fail("shows needs the words that say what the picture shows");
    }
  }

  void read_colour(const std::vector<std::string_view>& words) {
    if (words.size() < 3 || words[1].size() != 1) {
      fail("colour needs one character and a value: colour <char> <rrggbb|transparent> [note]");
    }
    const char c = words[1][0];
    if (c == '#') {
      fail("'#' cannot be a colour character: it starts a comment");
    }
    if (palette_[static_cast<unsigned char>(c)]) {
      fail("colour " + describe_char(c) + " is already declared on line " +
           std::to_string(palette_[static_cast<unsigned char>(c)]->line));
    }
    std::uint32_t argb = kTransparent;
    const std::string_view value = words[2];
    if (value != "transparent") {
      std::uint32_t rgb = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rgb, 16);
      if (value.size() != 6 || error != std::errc{} || end != value.data() + value.size()) {
        fail("colour value '" + std::string{value} +
             "' is neither six hex digits (rrggbb) nor 'transparent'");
      }
      argb = kOpaque | rgb;
    }
    palette_[static_cast<unsigned char>(c)] = PaletteEntry{argb, line_};
  }

  void read_header() {
    bool have_pixels = false;
    for (; next_ < lines_.size(); ++next_) {
      line_ = static_cast<int>(next_) + 1;
      auto words = split_words(lines_[next_]);
      // '#' cannot be a colour character, so a word starting with it starts a comment.
      const auto comment = std::find_if(words.begin(), words.end(),
                                        [](std::string_view word) { return word.front() == '#'; });
      words.erase(comment, words.end());
      if (words.empty()) {
        continue;
      }
      const std::string_view key = words[0];
      const auto [seen, first] = keywords_.emplace(std::string{key}, line_);
      if (!first && key != "colour") {
        fail(std::string{key} + " is already given on line " + std::to_string(seen->second));
      }
      if (key == "picture" || key == "icon") {
        if (!art_.name.empty()) {
          fail("the kind and name are already given");  // "picture" after "icon"
        }
        if (words.size() != 2 || !valid_name(words[1])) {
          fail(std::string{key} + " needs one name of lower-case letters and digits");
        }
        art_.kind = key == "icon" ? Kind::Icon : Kind::Picture;
        art_.name = std::string{words[1]};
      } else if (key == "size") {
        art_.size = read_size(words, kMaxSide);
        size_line_ = line_;
      } else if (key == "drawn") {
        art_.drawn = read_size(words, kMaxSide);
      } else if (key == "shows") {
        read_shows(words);
      } else if (key == "resource") {
        const auto id = words.size() == 2 ? parse_int(words[1]) : std::nullopt;
        if (!id || *id < 1 || *id > 0xFFFF) {
          fail("resource needs one id from 1 to 65535");
        }
        art_.resource = *id;
        resource_line_ = line_;
      } else if (key == "colour") {
        read_colour(words);
      } else if (key == "pixels") {
        if (words.size() != 1) {
          fail("nothing may follow 'pixels' on its line");
        }
        have_pixels = true;
        ++next_;
        break;
      } else {
        fail("unknown keyword '" + std::string{key} +
             "' (expected picture, icon, size, drawn, shows, resource, colour or pixels)");
      }
    }
    if (art_.name.empty()) {
      fail("no 'picture <name>' or 'icon <name>' line before the pixels");
    }
    if (size_line_ == 0) {
      fail("no 'size <width> <height>' line before the pixels");
    }
    if (!have_pixels) {
      fail("no 'pixels' line: the rows of pixels must follow it");
    }
    check_kind();
  }

  // Rules of the kind, reported at the line that breaks them.
  void check_kind() {
    for (const auto& entry : palette_) {
      if (!entry) {
        continue;
      }
      line_ = entry->line;
      if (art_.kind == Kind::Picture && entry->argb == kTransparent) {
        fail("a picture is opaque: only icons may use 'transparent'");
      }
      if (art_.kind == Kind::Icon && entry->argb != kTransparent && !standard_index(entry->argb)) {
        std::array<char, 8> hex{};
        std::snprintf(hex.data(), hex.size(), "%06x", entry->argb & 0xFFFFFF);
        fail(std::string{"colour "} + hex.data() + " is not one of the 16 standard icon colours");
      }
    }
    line_ = size_line_;
    if (art_.kind == Kind::Icon && art_.size.width != art_.size.height) {
      fail("an icon must be square");
    }
    if (art_.kind == Kind::Icon && art_.size.width > kMaxIconSide) {
      fail("an icon may be at most " + std::to_string(kMaxIconSide) + " pixels wide");
    }
    line_ = resource_line_;
    if (art_.kind == Kind::Picture && art_.resource) {
      fail("only icon images can be resources");
    }
  }

  void read_rows() {
    const auto width = static_cast<std::size_t>(art_.size.width);
    art_.pixels.reserve(width * static_cast<std::size_t>(art_.size.height));
    for (int row = 0; row < art_.size.height; ++row, ++next_) {
      line_ = static_cast<int>(next_) + 1;
      if (next_ >= lines_.size()) {
        fail("expected " + std::to_string(art_.size.height) + " rows of pixels, found " +
             std::to_string(row));
      }
      const std::string_view text = lines_[next_];
      if (text.size() != width) {
        fail("row " + std::to_string(row + 1) + " is " + std::to_string(text.size()) +
             " pixels wide, expected " + std::to_string(width));
      }
      for (std::size_t column = 0; column < width; ++column) {
        const auto& entry = palette_[static_cast<unsigned char>(text[column])];
        if (!entry) {
          fail("unknown colour character " + describe_char(text[column]) + " in column " +
               std::to_string(column + 1));
        }
        art_.pixels.push_back(entry->argb);
      }
    }
    for (; next_ < lines_.size(); ++next_) {
      line_ = static_cast<int>(next_) + 1;
      if (!split_words(lines_[next_]).empty()) {
        fail("more than " + std::to_string(art_.size.height) + " rows of pixels");
      }
    }
  }

  std::string_view source_;
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  int line_ = 0;
  std::map<std::string, int> keywords_;  // first line of each
  int size_line_ = 0;
  int resource_line_ = 0;
  std::array<std::optional<PaletteEntry>, 256> palette_{};
  Art art_;
};

std::string located(std::string_view source, int line, std::string_view message) {
  std::string text{source};
  if (line > 0) {
    text += ':' + std::to_string(line);
  }
  return text + ": error: " + std::string{message};
}

}  // namespace

InputError::InputError(std::string_view source, int line, std::string_view message)
    : std::runtime_error(located(source, line, message)) {}

std::string image_name(const Art& art) {
  return art.kind == Kind::Icon ? art.name + std::to_string(art.size.width) : art.name;
}

Art parse_art(std::string_view text, std::string_view source) {
  return Parser(text, source).parse();
}

Art load_art(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw InputError(path.string(), 0, "cannot open the file");
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    throw InputError(path.string(), 0, "cannot read the file");
  }
  return parse_art(text.str(), path.string());
}

}  // namespace assetgen
