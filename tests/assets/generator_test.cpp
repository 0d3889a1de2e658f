#include "generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, std::string_view text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }

  // Runs the generator; its error output is kept in errors.
  int generate(const std::vector<std::string>& files) {
    std::vector<std::string_view> args{"--out", out_, "--desktop-name", "game"};
    args.insert(args.end(), files.begin(), files.end());
    std::ostringstream err;
    const int status = assetgen::run(args, err);
    errors = err.str();
    return status;
  }

  // How many files the output folder holds.
  [[nodiscard]] auto written() const {
    return std::distance(fs::recursive_directory_iterator(dir_ / "out"), {});
  }

  // One folder a test: CTest may run them side by side.
  fs::path dir_ = fs::path(::testing::TempDir()) /
                  ("assetgen-test-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::string out_ = (dir_ / "out").string();
  std::string errors;
};

constexpr std::string_view kGood =
    "picture dot\nsize 3 2\ncolour . 000000\ncolour r ff0000\npixels\n.r.\nr.r\n";
constexpr std::string_view kHead =
    "picture bad\nsize 3 2\ncolour . 000000\ncolour r ff0000\npixels\n";

// A bad file is reported at its line, and nothing is written, not even beside
// the good files or over the outputs of an earlier run.
TEST_F(Generator, BadArtIsReportedAtItsLineAndWritesNothing) {
  const struct {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {std::string{kHead} + ".r.\nr.\n", 7, "row 2 is 2 pixels wide, expected 3"},
      {std::string{kHead} + ".x.\nr.r\n", 6, "unknown colour character 'x' in column 2"},
      {std::string{kHead} + ".r.\nr.r\n\n...\n", 9, "more than 2 rows of pixels"},
      {"picture bad\nsize 1 1\ncolour t transparent\npixels\nt\n", 3, "a picture is opaque"},
      {"icon bad\nsize 2 2\ncolour o ff8000\npixels\noo\noo\n", 3,
       "colour ff8000 is not one of the 16 standard icon colours"},
      {"picture bad\nsize 1 1\ncolur r ff0000\n", 3, "unknown keyword 'colur'"},
  };
  std::ofstream(dir_ / "out" / "pictures.cpp") << "earlier run";
  const std::string good = write("good.art", kGood);
  for (const auto& bad : cases) {
    const std::string path = write("bad.art", bad.text);
    EXPECT_EQ(generate({good, path}), 1);
    EXPECT_NE(errors.find(path + ":" + std::to_string(bad.line) + ": error: " + bad.message),
              std::string::npos)
        << errors;
    EXPECT_EQ(written(), 1) << bad.message;
  }
  std::ifstream earlier(dir_ / "out" / "pictures.cpp");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier run");
}

TEST_F(Generator, NamesResourcesAndFilesThatClashOrAreMissingAreRejected) {
  const std::string first = write("a.art", kGood);
  const std::string second = write("b.art", kGood);
  EXPECT_EQ(generate({first, second}), 1);
  EXPECT_NE(errors.find(second + ": error: the name 'dot' is already used by " + first),
            std::string::npos)
      << errors;
  const std::string icon = "icon flake\nsize 1 1\nresource 7\ncolour w ffffff\npixels\nw\n";
  const std::string other = "icon flake\nsize 2 2\nresource 7\ncolour w ffffff\npixels\nww\nww\n";
  EXPECT_EQ(generate({write("c.art", icon), write("d.art", other)}), 1);
  EXPECT_NE(errors.find("resource 7 is already used"), std::string::npos) << errors;
  EXPECT_EQ(generate({(dir_ / "missing.art").string()}), 1);
  EXPECT_NE(errors.find("missing.art: error: cannot open the file"), std::string::npos) << errors;
  EXPECT_EQ(written(), 0);

  EXPECT_EQ(generate({first}), 0) << errors;
  EXPECT_GT(written(), 0);
}

}  // namespace
