#include "tools/assetgen/sprite_strips.h"

namespace assetgen {

IndexedImage MakeStrip(const std::vector<IndexedImage>& frames, int animation) {
  IndexedImage strip(kStripWidth, kStripHeight, pal::kGrey[6]);
  for (int k = 0; k < 4; ++k) strip.Blit(frames.at(size_t(animation) * 4 + k), CellLeft(k), 1);
  return strip;
}

}  // namespace assetgen
