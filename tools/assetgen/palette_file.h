#pragma once
// The display layer's palette text file: 256 lines "r g b flags", each after a newline.
#include <string>

#include "tools/assetgen/palette.h"

namespace assetgen {

// Flags 4 (no-collapse) match what the BMP loader gives every entry.
std::string EncodePaletteText(const Palette& palette, int flags = 4);

}  // namespace assetgen
