#pragma once
// The desktop icon: Jed's portrait as PNG in the hicolor sizes.
#include <string>
#include <vector>

namespace assetgen {

constexpr int kIconSizes[] = {32, 64, 128, 256};

// Writes DIR/jed-grimstorm-SIZE.png for each size; returns the paths. Throws std::runtime_error
// when a file cannot be written.
std::vector<std::string> WriteIcons(const std::string& dir);

}  // namespace assetgen
