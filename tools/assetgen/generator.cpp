#include "generator.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "icon.h"
#include "png.h"
#include "source.h"

namespace assetgen {
namespace {

constexpr int kPreviewSide = 480;
constexpr int kCheckerCell = 8;
constexpr std::uint32_t kCheckerLight = 0xFFD0D0D0;
constexpr std::uint32_t kCheckerDark = 0xFFA0A0A0;

constexpr std::string_view kUsage =
    "usage: assetgen --out DIR [--desktop-name NAME] [--page-icon SIDE]... ART...\n"
    "       assetgen --preview DIR ART...\n";

std::vector<std::uint8_t> bytes_of(std::string_view text) {
  return {text.begin(), text.end()};
}

// The icon images, largest first; with `resources_only`, only the window icon's.
std::vector<const Art*> icon_images(std::span<const Art> arts, bool resources_only) {
  std::vector<const Art*> images;
  for (const Art& art : arts) {
    if (art.kind == Kind::Icon && (art.resource || !resources_only)) {
      images.push_back(&art);
    }
  }
  std::sort(images.begin(), images.end(),
            [](const Art* a, const Art* b) { return a->size.width > b->size.width; });
  return images;
}

// Nearest-neighbour resampling, as the game stretches pictures.
std::vector<std::uint32_t> resample(const std::vector<std::uint32_t>& pixels, Size from, Size to) {
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<std::size_t>(to.width) * static_cast<std::size_t>(to.height));
  for (int y = 0; y < to.height; ++y) {
    const int source_y = (2 * y + 1) * from.height / (2 * to.height);
    for (int x = 0; x < to.width; ++x) {
      const int source_x = (2 * x + 1) * from.width / (2 * to.width);
      out.push_back(
          pixels[static_cast<std::size_t>(source_y) * static_cast<std::size_t>(from.width) +
                 static_cast<std::size_t>(source_x)]);
    }
  }
  return out;
}

OutputFile preview(const std::string& name, const std::vector<std::uint32_t>& pixels, Size size) {
  const int scale = std::max(1, kPreviewSide / std::max(size.width, size.height));
  const Size big{size.width * scale, size.height * scale};
  std::vector<std::uint32_t> shown = resample(pixels, size, big);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if ((shown[i] >> 24U) == 0) {
      const auto x = static_cast<int>(i % static_cast<std::size_t>(big.width));
      const auto y = static_cast<int>(i / static_cast<std::size_t>(big.width));
      shown[i] = (x / kCheckerCell + y / kCheckerCell) % 2 == 0 ? kCheckerLight : kCheckerDark;
    }
  }
  return {name + ".png", encode_png(big.width, big.height, shown, false)};
}

// The page's icon of `side` pixels, enlarged from the largest drawn image whose
// side divides it, so that every art pixel becomes a whole square; from the
// largest image when none divides it.
OutputFile page_icon(const std::vector<const Art*>& images, int side) {
  const auto whole = std::find_if(images.begin(), images.end(), [side](const Art* art) {
    return art->size.width == art->size.height && side % art->size.width == 0;
  });
  const Art& from = **(whole != images.end() ? whole : images.begin());
  return {std::filesystem::path{"page"} / ("icon-" + std::to_string(side) + ".png"),
          encode_png(side, side, resample(from.pixels, from.size, {side, side}), true)};
}

void remove_quietly(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

void check_set(std::span<const Art> arts) {
  std::map<std::string, const Art*> names;
  std::map<int, const Art*> resources;
  const Art* icon = nullptr;
  for (const Art& art : arts) {
    const auto [named, fresh] = names.emplace(image_name(art), &art);
    if (!fresh) {
      throw InputError(
          art.source, 0,
          "the name '" + named->first + "' is already used by " + named->second->source);
    }
    if (art.kind == Kind::Icon) {
      if (icon != nullptr && icon->name != art.name) {
        throw InputError(art.source, 0,
                         "a second icon '" + art.name + "'; " + icon->source + " is icon '" +
                             icon->name + "' and only one icon is supported");
      }
      icon = &art;
    }
    if (art.resource) {
      const auto [used, unused] = resources.emplace(*art.resource, &art);
      if (!unused) {
        throw InputError(art.source, 0,
                         "resource " + std::to_string(*art.resource) + " is already used by " +
                             used->second->source);
      }
    }
  }
  for (const Art& art : arts) {
    if (art.kind == Kind::Picture && icon != nullptr && art.name == icon->name) {
      throw InputError(art.source, 0, "the name '" + art.name + "' is already used by the icon");
    }
  }
}

std::vector<OutputFile> build_outputs(std::span<const Art> arts, std::string_view desktop_name,
                                      std::span<const int> page_icon_sides) {
  check_set(arts);
  std::vector<const Art*> pictures;
  for (const Art& art : arts) {
    if (art.kind == Kind::Picture) {
      pictures.push_back(&art);
    }
  }
  const auto window_icon = icon_images(arts, true);

  std::vector<OutputFile> files;
  files.push_back({"pictures.cpp", bytes_of(picture_source(pictures, window_icon))});
  if (!window_icon.empty()) {
    for (const Art* art : window_icon) {
      files.push_back({"icon-" + std::to_string(*art->resource) + ".bin", icon_image(*art)});
    }
    files.push_back({"icon-group.bin", icon_group(window_icon)});
    files.push_back({window_icon.front()->name + ".ico", ico_file(window_icon)});
  }
  for (const Art* art : icon_images(arts, false)) {
    const std::string side = std::to_string(art->size.width);
    std::string size_dir = side;
    size_dir += 'x';
    size_dir += side;
    const std::string file = std::string{desktop_name.empty() ? art->name : desktop_name} + ".png";
    files.push_back({std::filesystem::path{"icons"} / "hicolor" / size_dir / "apps" / file,
                     encode_png(art->size.width, art->size.height, art->pixels, true)});
  }
  const auto images = icon_images(arts, false);
  if (!page_icon_sides.empty() && images.empty()) {
    throw std::runtime_error("page icons asked for, but no icon art was given");
  }
  for (const int side : page_icon_sides) {
    files.push_back(page_icon(images, side));
  }
  return files;
}

std::vector<OutputFile> build_previews(std::span<const Art> arts) {
  check_set(arts);
  std::vector<OutputFile> files;
  for (const Art& art : arts) {
    files.push_back(preview(image_name(art), art.pixels, art.size));
    if (art.drawn && *art.drawn != art.size) {
      files.push_back(preview(image_name(art) + "-drawn",
                              resample(art.pixels, art.size, *art.drawn), *art.drawn));
    }
  }
  return files;
}

void write_outputs(const std::filesystem::path& directory, std::span<const OutputFile> files) {
  std::vector<std::filesystem::path> written;
  auto temporary = [](const std::filesystem::path& path) {
    return std::filesystem::path{path.string() + ".tmp"};
  };
  try {
    for (const OutputFile& file : files) {
      const std::filesystem::path path = directory / file.path;
      std::filesystem::create_directories(path.parent_path());
      written.push_back(temporary(path));
      std::ofstream out(written.back(), std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(file.bytes.data()),
                static_cast<std::streamsize>(file.bytes.size()));
      out.close();
      if (!out) {
        throw std::runtime_error("cannot write " + written.back().string());
      }
    }
  } catch (const std::filesystem::filesystem_error& error) {
    std::for_each(written.begin(), written.end(), remove_quietly);
    throw std::runtime_error(error.what());
  } catch (...) {
    std::for_each(written.begin(), written.end(), remove_quietly);
    throw;
  }
  std::size_t renamed = 0;
  try {
    for (; renamed < files.size(); ++renamed) {
      const std::filesystem::path path = directory / files[renamed].path;
      std::filesystem::rename(temporary(path), path);
    }
  } catch (const std::filesystem::filesystem_error& error) {
    std::for_each(written.begin() + static_cast<std::ptrdiff_t>(renamed), written.end(),
                  remove_quietly);
    throw std::runtime_error(error.what());
  }
}

int run(std::span<const std::string_view> args, std::ostream& err) {
  std::filesystem::path out_dir;
  std::filesystem::path preview_dir;
  std::string desktop_name;
  std::vector<int> page_icon_sides;
  std::vector<std::filesystem::path> inputs;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--out" && has_value) {
      out_dir = args[++i];
    } else if (arg == "--preview" && has_value) {
      preview_dir = args[++i];
    } else if (arg == "--desktop-name" && has_value) {
      desktop_name = args[++i];
    } else if (arg == "--page-icon" && has_value) {
      const std::string_view value = args[++i];
      int side = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), side);
      if (error != std::errc{} || end != value.data() + value.size() || side < 1 || side > 1024) {
        err << "assetgen: --page-icon wants a side from 1 to 1024 pixels, not " << value << '\n';
        return 2;
      }
      page_icon_sides.push_back(side);
    } else if (arg.starts_with("--")) {
      err << "assetgen: unknown option or missing value: " << arg << '\n' << kUsage;
      return 2;
    } else {
      inputs.emplace_back(arg);
    }
  }
  if (inputs.empty() || out_dir.empty() == preview_dir.empty()) {
    err << kUsage;
    return 2;
  }

  std::vector<Art> arts;
  bool failed = false;
  for (const auto& input : inputs) {
    try {
      arts.push_back(load_art(input));
    } catch (const InputError& error) {
      err << error.what() << '\n';
      failed = true;
    }
  }
  if (failed) {
    return 1;
  }
  try {
    if (!out_dir.empty()) {
      write_outputs(out_dir, build_outputs(arts, desktop_name, page_icon_sides));
    } else {
      write_outputs(preview_dir, build_previews(arts));
    }
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace assetgen
