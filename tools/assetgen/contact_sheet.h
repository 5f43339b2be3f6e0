#pragma once
// Review sheets: sprite frames enlarged on a grid, and screens side by side at reduced size.
#include <vector>

#include "tools/assetgen/indexed_image.h"

namespace assetgen {

// Frames in rows of `per_row`, each on a dark backdrop so the transparent key does not glare.
IndexedImage FrameSheet(const std::vector<IndexedImage>& frames, int per_row, uint8_t key, uint8_t backdrop);

// Pictures reduced by `shrink` (nearest pixel), `per_row` to a row.
IndexedImage ScreenSheet(const std::vector<IndexedImage>& screens, int per_row, int shrink);

}  // namespace assetgen
