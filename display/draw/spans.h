#pragma once
// Horizontal runs clipped to the clip rectangle, shared by lines, polygons and triangles.
#include <cstdint>

#include "display/display.h"
#include "display/draw/pixel_rows.h"

namespace draw_detail {

// Pixels left..right of row y (inclusive) inside the clip rectangle; nothing when left > right.
template <typename Pixel>
inline void FillClippedSpan(int64_t left, int64_t right, int64_t y, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (y < clip_top || y > clip_bottom) return;
  if (left < clip_left) left = clip_left;
  if (right > clip_right) right = clip_right;
  if (left > right) return;
  FillRun(PixelAt<Pixel>(buffer, pitch, left, y), right - left + 1, color);
}

}  // namespace draw_detail
