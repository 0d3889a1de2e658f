#pragma once

#include <cstdint>
#include <string_view>

// The program's fixed settings. They are set when the program is built and
// only read at run time; the title is the one the game's own code reads.
namespace app::settings {

inline constexpr std::string_view kTitle = "vorel";
inline constexpr std::string_view kExecutable = "vorel";
inline constexpr std::string_view kMaker = "Orvanta";

struct Version {
  int major;
  int minor;
  int revision;
};
inline constexpr Version kVersion{1, 0, 0};

// English (United States), with Arabic (Egypt) recorded beside it.
inline constexpr std::uint16_t kLocale = 0x0409;
inline constexpr std::uint16_t kSecondLocale = 0x0C01;

// One thread runs everything, the user interface included.
inline constexpr int kThreads = 1;

}  // namespace app::settings
