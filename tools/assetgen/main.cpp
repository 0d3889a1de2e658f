#include <iostream>
#include <string_view>
#include <vector>

#include "generator.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return assetgen::run(args, std::cerr);
}
