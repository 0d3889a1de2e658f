#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Text art: a small header, a palette of one character per colour, then one
// line per pixel row. The format is described in assets/art/README.md.
namespace assetgen {

enum class Kind { Picture, Icon };

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Art {
  std::string source;  // the file as named on the command line, for messages
  Kind kind = Kind::Picture;
  std::string name;
  Size size;
  std::optional<Size> drawn;          // the size the game stretches the picture to
  std::string shows;                  // what it shows, in words, for those who cannot see it
  std::optional<int> resource;        // an image of the window icon, with its Windows resource id
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row-major from the top-left pixel
};

constexpr int kMaxSide = 1024;
constexpr int kMaxIconSide = 256;

// Bad input: what() reads "file:line: error: message" (no line for file-wide problems).
class InputError : public std::runtime_error {
 public:
  InputError(std::string_view source, int line, std::string_view message);
};

// A picture's name; an icon image's is the icon's name and its side, "snowflake32".
std::string image_name(const Art& art);

Art parse_art(std::string_view text, std::string_view source);
Art load_art(const std::filesystem::path& path);

}  // namespace assetgen
