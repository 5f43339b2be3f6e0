// assetgen OUTPUT_DIR [--preview PREVIEW_DIR]: writes every file the game opens.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/assetgen/asset_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [--preview PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
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
  try {
    assetgen::GenerateAssets(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
