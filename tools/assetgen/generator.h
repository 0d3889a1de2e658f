#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "art.h"

namespace assetgen {

struct OutputFile {
  std::filesystem::path path;  // relative to the output directory
  std::vector<std::uint8_t> bytes;
};

// Checks the rules that span files: unique names, one icon, unique sizes and
// resource ids. Throws InputError.
void check_set(std::span<const Art> arts);

// Everything the build needs: pictures.cpp, the Windows icon resources and
// .ico file, the desktop icon PNGs named `desktop_name`, and the page's icons
// page/icon-SIDE.png, one for each side asked for.
std::vector<OutputFile> build_outputs(std::span<const Art> arts, std::string_view desktop_name,
                                      std::span<const int> page_icon_sides = {});

// Enlarged PNGs of every picture for review, plus each picture stretched to
// the size the game draws it at.
std::vector<OutputFile> build_previews(std::span<const Art> arts);

// Writes every file to a temporary name first and renames them only when all
// were written, so a failure leaves no file half-written. Throws std::runtime_error.
void write_outputs(const std::filesystem::path& directory, std::span<const OutputFile> files);

// The command line: returns the exit status, messages go to `err`.
int run(std::span<const std::string_view> args, std::ostream& err);

}  // namespace assetgen
