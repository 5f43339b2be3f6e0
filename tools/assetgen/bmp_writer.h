#pragma once
// 8-bit BMP files: 256-colour palette, rows bottom-up, each padded to 4 bytes.
#include "tools/assetgen/byte_writer.h"
#include "tools/assetgen/indexed_image.h"
#include "tools/assetgen/palette.h"

namespace assetgen {

Bytes EncodeBmp8(const IndexedImage& image, const Palette& palette);

}  // namespace assetgen
