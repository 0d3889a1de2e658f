#pragma once

#include <string_view>

// The program's fixed settings, read at run time; the version, the maker and
// the locale are in the executable's resources (windows/vorel.rc) and the
// package's metadata.
namespace app::settings {

// The title: the caption of every message box and, after "About ", of the
// About window.
inline constexpr std::string_view kTitle = "vorel";
inline constexpr std::string_view kExecutable = "vorel";

}  // namespace app::settings
