#pragma once
// PNG previews for reviewing the art; the game never reads them.
#include <string>

#include "tools/assetgen/indexed_image.h"
#include "tools/assetgen/palette.h"

namespace assetgen {

// Writes the picture scaled up by an integer factor; throws std::runtime_error on failure.
void WritePngPreview(const std::string& path, const IndexedImage& image, const Palette& palette, int scale = 1);

}  // namespace assetgen
