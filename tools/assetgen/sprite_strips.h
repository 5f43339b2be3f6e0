#pragma once
// Frame strips as the game cuts them: four 72 x 74 cells from pixel (1, 1), one-pixel lines
// between them. Strip width is a multiple of 4 so every BMP row needs no padding.
#include <vector>

#include "tools/assetgen/figure.h"
#include "tools/assetgen/indexed_image.h"

namespace assetgen {

constexpr int kStripWidth = 296;
constexpr int kStripHeight = 76;
constexpr int kHeroAnimations = 13;
constexpr int kThugAnimations = 6;

// Left column of cell k in a strip.
constexpr int CellLeft(int k) { return 1 + k * (kCellWidth + 1); }

// Packs four cells (k = 0..3) of one animation into a strip.
IndexedImage MakeStrip(const std::vector<IndexedImage>& frames, int animation);

std::vector<IndexedImage> HeroFrames();  // 52 cells, frame 4a + k of animation a
std::vector<IndexedImage> ThugFrames();  // 24 cells

}  // namespace assetgen
