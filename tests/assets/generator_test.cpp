#include "generator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "decode.h"
#include "png.h"

namespace {

namespace fs = std::filesystem;
using assets_test::Bytes;
using assets_test::decode_icon_image;
using assets_test::decode_png;
using assets_test::le16;
using assets_test::le32;
using assets_test::read_file;

class GeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::path(::testing::TempDir()) / ("assetgen-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, std::string_view text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }

  int generate(std::vector<std::string> files) {
    std::vector<std::string> args{"--out", out().string(), "--desktop-name", "game"};
    args.insert(args.end(), files.begin(), files.end());
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream err;
    const int status = assetgen::run(views, err);
    errors_ = err.str();
    return status;
  }

  fs::path out() const { return dir_ / "out"; }

  fs::path dir_;
  std::string errors_;
};

constexpr std::string_view kGoodPicture =
    "picture dot\nsize 3 2\ncolour . 000000\ncolour r ff0000\npixels\n.r.\nr.r\n";

constexpr std::string_view kHead =
    "picture bad\nsize 3 2\ncolour . 000000\ncolour r ff0000\npixels\n";

// A bad file is reported at its line, and nothing is written, not even
// beside the good files or over the outputs of an earlier run.
TEST_F(GeneratorTest, BadArtIsReportedAtItsLineAndWritesNothing) {
  struct BadArt {
    std::string text;
    int line;
    const char* message;
  };
  const BadArt cases[] = {
      {std::string{kHead} + ".r.\nr.\n", 7, "row 2 is 2 pixels wide, expected 3"},
      {std::string{kHead} + ".x.\nr.r\n", 6, "unknown colour character 'x' in column 2"},
      {std::string{kHead} + ".r.\nr.r\n\n...\n", 9, "more than 2 rows of pixels"},
      {"picture bad\nsize 1 1\n# comment\ncolour t transparent\npixels\nt\n", 4,
       "a picture is opaque"},
      {"icon bad\nsize 2 2\ncolour . transparent\ncolour o ff8000 orange\npixels\n.o\no.\n", 4,
       "colour ff8000 is not one of the 16 standard icon colours"},
      {"picture bad\nsize 1 1\ncolur r ff0000\n", 3, "unknown keyword 'colur'"},
  };
  std::ofstream(out() / "pictures.cpp") << "earlier run";
  const std::string good = write("good.art", kGoodPicture);
  for (const BadArt& bad : cases) {
    SCOPED_TRACE(bad.message);
    const std::string path = write("bad.art", bad.text);
    EXPECT_EQ(generate({good, path}), 1);
    EXPECT_NE(errors_.find(path + ":" + std::to_string(bad.line) + ": error: " + bad.message),
              std::string::npos)
        << errors_;
    std::vector<fs::path> left;
    for (const auto& entry : fs::recursive_directory_iterator(out())) {
      left.push_back(entry.path().filename());
    }
    EXPECT_EQ(left, std::vector<fs::path>{"pictures.cpp"});
    EXPECT_EQ(read_file(out() / "pictures.cpp"),
              Bytes({'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'r', 'u', 'n'}));
  }
}

TEST_F(GeneratorTest, FilesThatClashAreRejectedByName) {
  const std::string first = write("a.art", kGoodPicture);
  const std::string second = write("b.art", kGoodPicture);
  EXPECT_EQ(generate({first, second}), 1);
  EXPECT_NE(errors_.find(second + ": error: the name 'dot' is already used by " + first),
            std::string::npos)
      << errors_;

  const std::string icon = "icon flake\nsize 1 1\nresource 7\ncolour w ffffff\npixels\nw\n";
  const std::string other = "icon flake\nsize 2 2\nresource 7\ncolour w ffffff\npixels\nww\nww\n";
  EXPECT_EQ(generate({write("c.art", icon), write("d.art", other)}), 1);
  EXPECT_NE(errors_.find("resource 7 is already used"), std::string::npos) << errors_;

  EXPECT_EQ(generate({(dir_ / "missing.art").string()}), 1);
  EXPECT_NE(errors_.find("missing.art: error: cannot open the file"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(out()));
}

// An icon art of `side` pixels whose colours run through the whole palette,
// with a transparent top-left corner and bottom-right pixel.
std::pair<std::string, std::vector<std::uint32_t>> icon_art(int side, int resource) {
  std::string text = "icon flake\nsize " + std::to_string(side) + " " + std::to_string(side) +
                     "\nresource " + std::to_string(resource) + "\ncolour . transparent\n";
  for (std::size_t i = 0; i < assets_test::kIconPalette.size(); ++i) {
    char value[8];
    std::snprintf(value, sizeof value, "%06x", assets_test::kIconPalette[i]);
    text += std::string("colour ") + static_cast<char>('a' + i) + " " + value + "\n";
  }
  text += "pixels\n";
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (x + y < 3 || (x == side - 1 && y == side - 1)) {
        text += '.';
        pixels.push_back(0);
      } else {
        const auto index = static_cast<std::size_t>(x * 3 + y) % 16;
        text += static_cast<char>('a' + index);
        pixels.push_back(0xFF000000U | assets_test::kIconPalette[index]);
      }
    }
    text += '\n';
  }
  return {text, pixels};
}

TEST_F(GeneratorTest, IconResourcesHaveTheWindowsLayout) {
  const auto [small_text, small] = icon_art(16, 30002);
  const auto [large_text, large] = icon_art(32, 30001);
  // The small image first on the command line: the group still lists the largest first.
  ASSERT_EQ(generate({write("small.art", small_text), write("large.art", large_text)}), 0)
      << errors_;

  // The group, the .ico file's directory and its copies agree on each image.
  const Bytes group = read_file(out() / "icon-group.bin");
  const Bytes ico = read_file(out() / "flake.ico");
  ASSERT_EQ(group.size(), 6U + 2 * 14);
  ASSERT_EQ(le16(group, 4), 2U);
  ASSERT_EQ(le16(ico, 4), 2U);
  for (const auto& [i, side, id, pixels] :
       {std::tuple{0U, 32U, 30001U, &large}, std::tuple{1U, 16U, 30002U, &small}}) {
    const Bytes image = read_file(out() / ("icon-" + std::to_string(id) + ".bin"));
    EXPECT_EQ(decode_icon_image(image).pixels, *pixels);
    EXPECT_EQ(group[6 + 14 * i], side);
    EXPECT_EQ(le32(group, 6 + 14 * i + 8), image.size());
    EXPECT_EQ(le16(group, 6 + 14 * i + 12), id);
    const std::size_t size = le32(ico, 6 + 16 * i + 8);
    const std::size_t offset = le32(ico, 6 + 16 * i + 12);
    ASSERT_EQ(size, image.size());
    ASSERT_LE(offset + size, ico.size());
    EXPECT_TRUE(
        std::equal(image.begin(), image.end(), ico.begin() + static_cast<std::ptrdiff_t>(offset)));
  }

  const auto png = decode_png(read_file(out() / "icons/hicolor/32x32/apps/game.png"));
  EXPECT_EQ(png.width, 32);
  EXPECT_EQ(png.pixels, large);
}

// Image data of exactly one stored block, of one byte more, and of two blocks.
TEST(Png, DecodesToTheSamePixelsAcrossStoredBlockBoundaries) {
  struct Case {
    int width;
    int height;
    bool alpha;
  };
  for (const Case c : {Case{3, 2, false}, Case{64, 255, true}, Case{64, 256, true},
                       Case{28, 771, false}, Case{130, 130, true}}) {
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < c.width * c.height; ++i) {
      const auto n = static_cast<std::uint32_t>(i);
      pixels.push_back(c.alpha ? n * 2654435761U : 0xFF000000U | (n * 40503U & 0xFFFFFFU));
    }
    const auto image = decode_png(assetgen::encode_png(c.width, c.height, pixels, c.alpha));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.pixels, pixels) << c.width << " x " << c.height;
  }
}

}  // namespace
