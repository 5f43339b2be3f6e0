#include "display/draw/rects_collide.h"

namespace {
int64_t Shrink(int32_t s) { return (s >> 1) - (s >> 3); }
int64_t Abs(int64_t v) { return v < 0 ? -v : v; }
}  // namespace

int RectsCollide(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
  const int64_t sw1 = Shrink(w1), sh1 = Shrink(h1), sw2 = Shrink(w2), sh2 = Shrink(h2);
  const int64_t dx = Abs((x2 + sw2) - (x1 + sw1));
  const int64_t dy = Abs((y2 + sh2) - (y1 + sh1));
  return dx < sw1 + sw2 && dy < sh1 + sh2;
}
