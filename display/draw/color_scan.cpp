#include "display/draw/color_scan.h"

#include <cstddef>

#include "display/display.h"

namespace {

// The scanned window after clamping to the screen; empty when a range is reversed.
struct ScanWindow {
  int32_t x1, y1, x2, y2;
  bool empty() const { return x1 > x2 || y1 > y2; }
};

ScanWindow ClampToScreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t max_x = screen_width - 1, max_y = screen_height - 1;
  auto clamp = [](int32_t v, int32_t hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
  if (max_x < 0 || max_y < 0) return {1, 1, 0, 0};
  return {clamp(x1, max_x), clamp(y1, max_y), clamp(x2, max_x), clamp(y2, max_y)};
}

// Index of the first byte of row[0..count) inside low..low + span, or count.
int32_t FindInRange(const uint8_t* row, int32_t count, uint8_t low, uint8_t span) {
  for (int32_t i = 0; i < count; ++i)
    if (static_cast<uint8_t>(row[i] - low) <= span) return i;
  return count;
}

}  // namespace

int ColorScan(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high, const uint8_t* buffer,
              int32_t pitch) {
  if (buffer == nullptr || low > high) return 0;
  const ScanWindow w = ClampToScreen(x1, y1, x2, y2);
  if (w.empty()) return 0;
  const int32_t count = w.x2 - w.x1 + 1;
  const uint8_t span = static_cast<uint8_t>(high - low);
  for (int32_t y = w.y1; y <= w.y2; ++y) {
    const uint8_t* row = buffer + static_cast<ptrdiff_t>(y) * pitch + w.x1;
    const int32_t at = FindInRange(row, count, low, span);
    if (at < count) return w.x1 + at;
  }
  return 0;
}

int ColorScan16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t key1, uint16_t key2, const uint8_t* buffer,
                int32_t pitch) {
  if (buffer == nullptr) return 0;
  const ScanWindow w = ClampToScreen(x1, y1, x2, y2);
  if (w.empty()) return 0;
  const ptrdiff_t row_pixels = pitch >> 1;
  const uint16_t* pixels = reinterpret_cast<const uint16_t*>(buffer);
  for (int32_t y = w.y1; y <= w.y2; ++y) {
    const uint16_t* row = pixels + y * row_pixels;
    for (int32_t x = w.x1; x <= w.x2; ++x)
      if (row[x] == key1 || row[x] == key2) return 1;
  }
  return 0;
}
