#pragma once
// Cutting rectangles out of a loaded BitmapFile: the cell addressing of template pictures and a
// bounds-checked row copy shared by images, sprite frames and surface cells.
#include <cstdint>

#include "display/bitmap.h"

struct BitmapPoint {
  int64_t x, y;
};

// mode 0: cell (cx, cy) of a grid of width x height cells separated by one-pixel lines, the
// first cell's top-left pixel at (1, 1). Any other mode: (cx, cy) is the pixel position itself.
BitmapPoint BitmapCellOrigin(int32_t cx, int32_t cy, int32_t width, int32_t height, int32_t mode);

// Copies width x height pixels of bytes_per_pixel bytes from (origin) of the bitmap's buffer into
// dest, whose rows are dest_pitch bytes apart. Copies nothing and returns false when the bitmap
// has no pixels, holds another pixel depth, or the rectangle does not lie inside it.
bool CopyBitmapRect(const BitmapFile* bitmap, BitmapPoint origin, int32_t width, int32_t height, int bytes_per_pixel,
                    uint8_t* dest, int64_t dest_pitch);
