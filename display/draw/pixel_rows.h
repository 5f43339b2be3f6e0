#pragma once
// Addressing of locked 8- and 16-bit pixel memory: a row is pitch bytes, rounded down to whole
// pixels, so 16-bit rows step by pitch / 2 pixels.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace draw_detail {

template <typename Pixel>
inline ptrdiff_t RowPixels(int32_t pitch) {
  return static_cast<ptrdiff_t>(pitch) / static_cast<ptrdiff_t>(sizeof(Pixel));
}

template <typename Pixel>
inline Pixel* PixelAt(uint8_t* buffer, int32_t pitch, int64_t x, int64_t y) {
  return reinterpret_cast<Pixel*>(buffer) + y * RowPixels<Pixel>(pitch) + x;
}

// Sets count pixels from p on.
template <typename Pixel>
inline void FillRun(Pixel* p, int64_t count, Pixel color) {
  if (count > 0) std::fill_n(p, count, color);
}

}  // namespace draw_detail
