// assetgen OUTPUT_DIR [--preview PREVIEW_DIR]: writes every file the game opens.
// assetgen --icons DIR: writes the desktop icon in its sizes.
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "tools/assetgen/asset_generator.h"
#include "tools/assetgen/icons.h"

namespace {

// 0 when the work succeeds, 1 (with the reason printed) when it throws.
int Run(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [--preview PREVIEW_DIR] | --icons DIR\n", argv[0]);
    return 2;
  }
  if (std::strcmp(argv[1], "--icons") == 0 && argc == 3) return Run([&] { assetgen::WriteIcons(argv[2]); });
  assetgen::GeneratorOptions options;
  options.output_dir = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      options.preview_dir = argv[++i];
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  return Run([&] { assetgen::GenerateAssets(options); });
}
