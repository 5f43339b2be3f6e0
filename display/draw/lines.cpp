#include "display/draw/lines.h"

#include <utility>

#include "display/display.h"
#include "display/draw/line_clip.h"
#include "display/draw/pixel_rows.h"
#include "display/draw/spans.h"

using draw_detail::PixelAt;
using draw_detail::RowPixels;

namespace {

template <typename Pixel>
int Bresenham(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (buffer == nullptr) return 0;
  Pixel* p = PixelAt<Pixel>(buffer, pitch, x0, y0);
  int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const ptrdiff_t x_step = dx >= 0 ? 1 : -1;
  const ptrdiff_t y_step = dy >= 0 ? RowPixels<Pixel>(pitch) : -RowPixels<Pixel>(pitch);
  if (dx < 0) dx = -dx;
  if (dy < 0) dy = -dy;
  // Error terms doubled so they stay integers.
  const bool x_major = dx > dy;
  const int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
  const ptrdiff_t major_step = x_major ? x_step : y_step, minor_step = x_major ? y_step : x_step;
  int64_t error = 2 * minor - major;
  for (int64_t i = 0;; ++i) {
    *p = color;
    if (i == major) break;
    if (error >= 0) {
      error -= 2 * major;
      p += minor_step;
    }
    error += 2 * minor;
    p += major_step;
  }
  return 1;
}

template <typename Pixel>
int ClippedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (ClipLine(x0, y0, x1, y1)) Bresenham<Pixel>(x0, y0, x1, y1, color, buffer, pitch);
  return 1;
}

// Orders lo..hi and clamps it to min..max; false when nothing is left.
bool ClampRun(int32_t& lo, int32_t& hi, int32_t min, int32_t max) {
  if (lo > hi) std::swap(lo, hi);
  if (lo > max || hi < min) return false;
  if (lo < min) lo = min;
  if (hi > max) hi = max;
  return true;
}

template <typename Pixel>
void HLine(int32_t x0, int32_t x1, int32_t y, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (buffer == nullptr) return;
  if (x0 > x1) std::swap(x0, x1);
  draw_detail::FillClippedSpan<Pixel>(x0, x1, y, color, buffer, pitch);
}

template <typename Pixel>
void VLine(int32_t y0, int32_t y1, int32_t x, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (buffer == nullptr || x < clip_left || x > clip_right) return;
  if (!ClampRun(y0, y1, clip_top, clip_bottom)) return;
  Pixel* p = PixelAt<Pixel>(buffer, pitch, x, y0);
  const ptrdiff_t row = RowPixels<Pixel>(pitch);
  for (int32_t y = y0; y <= y1; ++y, p += row) *p = color;
}

template <typename Pixel>
int Plot(int32_t x, int32_t y, Pixel color, uint8_t* buffer, int32_t pitch) {
  if (buffer == nullptr) return 0;
  *PixelAt<Pixel>(buffer, pitch, x, y) = color;
  return 1;
}

}  // namespace

int DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t color, uint8_t* buffer, int32_t pitch) {
  return Bresenham<uint8_t>(x0, y0, x1, y1, color, buffer, pitch);
}
int DrawLine16(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t color, uint8_t* buffer, int32_t pitch) {
  return Bresenham<uint16_t>(x0, y0, x1, y1, color, buffer, pitch);
}
int DrawClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t color, uint8_t* buffer, int32_t pitch) {
  return ClippedLine<uint8_t>(x0, y0, x1, y1, color, buffer, pitch);
}
int DrawClipLine16(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t color, uint8_t* buffer, int32_t pitch) {
  return ClippedLine<uint16_t>(x0, y0, x1, y1, color, buffer, pitch);
}
void DrawHLine(int32_t x0, int32_t x1, int32_t y, uint8_t color, uint8_t* buffer, int32_t pitch) {
  HLine<uint8_t>(x0, x1, y, color, buffer, pitch);
}
void DrawHLine16(int32_t x0, int32_t x1, int32_t y, uint16_t color, uint8_t* buffer, int32_t pitch) {
  HLine<uint16_t>(x0, x1, y, color, buffer, pitch);
}
void DrawVLine(int32_t y0, int32_t y1, int32_t x, uint8_t color, uint8_t* buffer, int32_t pitch) {
  VLine<uint8_t>(y0, y1, x, color, buffer, pitch);
}
void DrawVLine16(int32_t y0, int32_t y1, int32_t x, uint16_t color, uint8_t* buffer, int32_t pitch) {
  VLine<uint16_t>(y0, y1, x, color, buffer, pitch);
}
int PlotPixel(int32_t x, int32_t y, uint8_t color, uint8_t* buffer, int32_t pitch) {
  return Plot<uint8_t>(x, y, color, buffer, pitch);
}
int PlotPixel16(int32_t x, int32_t y, uint16_t color, uint8_t* buffer, int32_t pitch) {
  return Plot<uint16_t>(x, y, color, buffer, pitch);
}
