#include "display/bitmap_cells.h"

#include <cstring>

BitmapPoint BitmapCellOrigin(int32_t cx, int32_t cy, int32_t width, int32_t height, int32_t mode) {
  if (mode != 0) return {cx, cy};
  return {int64_t{cx} * (int64_t{width} + 1) + 1, int64_t{cy} * (int64_t{height} + 1) + 1};
}

bool CopyBitmapRect(const BitmapFile* bitmap, BitmapPoint origin, int32_t width, int32_t height, int bytes_per_pixel,
                    uint8_t* dest, int64_t dest_pitch) {
  if (bitmap == nullptr || bitmap->buffer == nullptr || dest == nullptr) return false;
  if (bitmap->info_header.biBitCount != bytes_per_pixel * 8) return false;
  const int64_t bitmap_width = bitmap->info_header.biWidth;
  const int64_t bitmap_height = bitmap->info_header.biHeight;
  if (width < 0 || height < 0 || origin.x < 0 || origin.y < 0) return false;
  if (origin.x + width > bitmap_width || origin.y + height > bitmap_height) return false;
  const int64_t row_bytes = int64_t{width} * bytes_per_pixel;
  if (height > 1 && dest_pitch < row_bytes) return false;

  const int64_t source_pitch = bitmap_width * bytes_per_pixel;
  const uint8_t* source = bitmap->buffer + origin.y * source_pitch + origin.x * bytes_per_pixel;
  for (int64_t row = 0; row < height; ++row)
    std::memcpy(dest + row * dest_pitch, source + row * source_pitch, static_cast<size_t>(row_bytes));
  return true;
}
