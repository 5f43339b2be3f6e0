#include "tools/assetgen/bmp_writer.h"

namespace assetgen {

Bytes EncodeBmp8(const IndexedImage& image, const Palette& palette) {
  const uint32_t row_bytes = (uint32_t(image.width()) + 3) & ~3u;
  const uint32_t image_bytes = row_bytes * uint32_t(image.height());
  const uint32_t offset = 14 + 40 + 1024;
  Bytes b;
  b.reserve(offset + image_bytes);
  PutText(b, "BM");
  PutU32(b, offset + image_bytes);
  PutU16(b, 0);
  PutU16(b, 0);
  PutU32(b, offset);
  PutU32(b, 40);
  PutU32(b, uint32_t(image.width()));
  PutU32(b, uint32_t(image.height()));
  PutU16(b, 1);
  PutU16(b, 8);
  PutU32(b, 0);  // BI_RGB
  PutU32(b, image_bytes);
  PutU32(b, 2835);  // 72 dpi
  PutU32(b, 2835);
  PutU32(b, 256);
  PutU32(b, 256);
  for (const Rgb& c : palette) {
    PutU8(b, c.b);
    PutU8(b, c.g);
    PutU8(b, c.r);
    PutU8(b, 0);
  }
  for (int y = image.height() - 1; y >= 0; --y) {
    const uint8_t* row = image.pixels().data() + size_t(y) * image.width();
    b.insert(b.end(), row, row + image.width());
    b.resize(b.size() + (row_bytes - uint32_t(image.width())), 0);
  }
  return b;
}

}  // namespace assetgen
