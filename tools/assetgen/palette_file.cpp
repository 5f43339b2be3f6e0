#include "tools/assetgen/palette_file.h"

#include <cstdio>

namespace assetgen {

std::string EncodePaletteText(const Palette& palette, int flags) {
  std::string out;
  char line[64];
  for (const Rgb& c : palette) {
    std::snprintf(line, sizeof line, "\n%d %d %d %d", c.r, c.g, c.b, flags);
    out += line;
  }
  return out;
}

}  // namespace assetgen
