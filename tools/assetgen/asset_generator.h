#pragma once
// Draws, synthesises and encodes every asset file into one directory.
#include <string>

namespace assetgen {

struct GeneratorOptions {
  std::string output_dir;
  std::string preview_dir;  // empty: no review sheets
};

// Throws std::runtime_error when a file cannot be written or encoded.
void GenerateAssets(const GeneratorOptions& options);

}  // namespace assetgen
