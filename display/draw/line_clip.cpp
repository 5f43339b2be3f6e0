#include "display/draw/line_clip.h"

#include "display/display.h"

namespace {

constexpr int kLeft = 1, kRight = 2, kBottom = 4, kTop = 8;

int RegionCode(int64_t x, int64_t y) {
  int code = 0;
  if (y < clip_top)
    code = kTop;
  else if (y > clip_bottom)
    code = kBottom;
  if (x < clip_left)
    code |= kLeft;
  else if (x > clip_right)
    code |= kRight;
  return code;
}

// The coordinate a of the line through (a_this, b_this) and (a_other, b_other) where b = edge:
// a_this + 0.5 + ((edge - b_this) * (a_other - a_this)) / (b_other - b_this), with an integer
// quotient truncated toward zero and the sum truncated toward zero. 128-bit product, so any
// 32-bit coordinates are safe; the caller guarantees b_other != b_this.
int64_t Intercept(int64_t a_this, int64_t b_this, int64_t a_other, int64_t b_other, int64_t edge) {
  const __int128 q = static_cast<__int128>(edge - b_this) * (a_other - a_this) / (b_other - b_this);
  const int64_t sum = a_this + static_cast<int64_t>(q);
  return sum >= 0 ? sum : sum + 1;  // +0.5 then toward zero
}

bool InsideX(int64_t x) { return x >= clip_left && x <= clip_right; }

// Moves (x, y) with region code `code` onto the clip edge, the slope taken from (ox, oy).
void ClipEnd(int code, int64_t& x, int64_t& y, int64_t ox, int64_t oy) {
  if (code & (kTop | kBottom)) {
    const int64_t edge = (code & kTop) ? clip_top : clip_bottom;
    const int64_t nx = Intercept(x, y, ox, oy, edge);
    // A corner point whose crossing of the top or bottom edge lies beside the rectangle
    // crosses the left or right edge instead.
    if (!(code & (kLeft | kRight)) || InsideX(nx)) {
      x = nx;
      y = edge;
      return;
    }
  }
  const int64_t edge = (code & kLeft) ? clip_left : clip_right;
  y = Intercept(y, x, oy, ox, edge);
  x = edge;
}

}  // namespace

int ClipLine(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) {
  const int code0 = RegionCode(x0, y0), code1 = RegionCode(x1, y1);
  if (code0 & code1) return 0;
  if ((code0 | code1) == 0) return 1;

  int64_t cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
  if (code0) ClipEnd(code0, cx0, cy0, x1, y1);
  if (code1) ClipEnd(code1, cx1, cy1, x0, y0);
  if (RegionCode(cx0, cy0) || RegionCode(cx1, cy1)) return 0;
  x0 = static_cast<int32_t>(cx0), y0 = static_cast<int32_t>(cy0);
  x1 = static_cast<int32_t>(cx1), y1 = static_cast<int32_t>(cy1);
  return 1;
}
