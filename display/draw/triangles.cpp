#include "display/draw/triangles.h"

#include <cmath>
#include <utility>

#include "display/display.h"
#include "display/draw/coordinates.h"
#include "display/draw/spans.h"

namespace {

using draw_detail::ClampCoordinate;

// Edge arithmetic in float: positions truncated toward zero; a span has trunc(r - l + 1) pixels.
struct FloatEdges {
  using Value = float;
  static Value At(int64_t x) { return static_cast<float>(x); }
  static Value Slope(int64_t dx, int64_t dy) { return static_cast<float>(dx) / static_cast<float>(dy); }
  static Value Advance(Value slope, int64_t rows) { return slope * static_cast<float>(rows); }
  static int64_t Column(Value v) { return static_cast<int64_t>(v); }
  static int64_t Count(Value left, Value right) { return static_cast<int64_t>(right - left + 1.0f); }
};

// Edge arithmetic in 16.16 fixed point: a position reads as (v + 0x8000) >> 16; a span has
// ((r - l + 0x8000) >> 16) + 1 pixels. 64-bit, so wide coordinates do not overflow.
struct FixedEdges {
  using Value = int64_t;
  static Value At(int64_t x) { return x * 65536; }
  static Value Slope(int64_t dx, int64_t dy) { return dx * 65536 / dy; }
  static Value Advance(Value slope, int64_t rows) { return slope * rows; }
  static int64_t Column(Value v) { return (v + 0x8000) >> 16; }
  static int64_t Count(Value left, Value right) { return ((right - left + 0x8000) >> 16) + 1; }
};

struct Vertex {
  int64_t x, y;
};

template <typename Pixel, typename Edges>
class TriangleFill {
 public:
  TriangleFill(Pixel color, uint8_t* buffer, int32_t pitch, bool clip_x)
      : color_(color), buffer_(buffer), pitch_(pitch), clip_x_(clip_x) {}

  // Top edge from left_top to right_top (same row), both edges meeting at bottom.
  void FlatTop(Vertex left_top, Vertex right_top, Vertex bottom) {
    if (left_top.x > right_top.x) std::swap(left_top, right_top);
    const int64_t dy = bottom.y - left_top.y;
    Rows(left_top.y, bottom.y, Edges::At(left_top.x), Edges::At(right_top.x), Edges::Slope(bottom.x - left_top.x, dy),
         Edges::Slope(bottom.x - right_top.x, dy));
  }

  // Both edges leave top and end at bottom_left and bottom_right (same row).
  void FlatBottom(Vertex top, Vertex bottom_left, Vertex bottom_right) {
    if (bottom_left.x > bottom_right.x) std::swap(bottom_left, bottom_right);
    const int64_t dy = bottom_left.y - top.y;
    Rows(top.y, bottom_left.y, Edges::At(top.x), Edges::At(top.x), Edges::Slope(bottom_left.x - top.x, dy),
         Edges::Slope(bottom_right.x - top.x, dy));
  }

 private:
  using Value = typename Edges::Value;

  void Rows(int64_t first, int64_t last, Value left, Value right, Value left_slope, Value right_slope) {
    // Wholly above the clip: nothing to draw, and advancing the edges that far could overflow.
    if (last < clip_top) return;
    if (first < clip_top) {
      const int64_t skipped = clip_top - first;
      left += Edges::Advance(left_slope, skipped);
      right += Edges::Advance(right_slope, skipped);
      first = clip_top;
    }
    if (last > clip_bottom) last = clip_bottom;
    for (int64_t y = first; y <= last; ++y, left += left_slope, right += right_slope) Span(y, left, right);
  }

  void Span(int64_t y, Value left, Value right) {
    const int64_t start = Edges::Column(left);
    // With every vertex inside the columns of the clip rectangle, the run is counted from the
    // left end; otherwise it ends at the right end's column. The span clip keeps rounding at
    // the edges from ever reaching outside the rectangle.
    const int64_t end = clip_x_ ? Edges::Column(right) : start + Edges::Count(left, right) - 1;
    draw_detail::FillClippedSpan<Pixel>(start, end, y, color_, buffer_, pitch_);
  }

  Pixel color_;
  uint8_t* buffer_;
  int32_t pitch_;
  bool clip_x_;
};

template <typename Pixel, typename Edges>
int Triangle(int32_t x1_in, int32_t y1_in, int32_t x2_in, int32_t y2_in, int32_t x3_in, int32_t y3_in, Pixel color,
             uint8_t* buffer, int32_t pitch) {
  if (buffer == nullptr) return 0;
  Vertex v1{ClampCoordinate(x1_in), ClampCoordinate(y1_in)};
  Vertex v2{ClampCoordinate(x2_in), ClampCoordinate(y2_in)};
  Vertex v3{ClampCoordinate(x3_in), ClampCoordinate(y3_in)};
  if ((v1.x == v2.x && v2.x == v3.x) || (v1.y == v2.y && v2.y == v3.y)) return 1;

  if (v2.y < v1.y) std::swap(v1, v2);
  if (v3.y < v1.y) std::swap(v1, v3);
  if (v3.y < v2.y) std::swap(v2, v3);

  if (v3.y < clip_top || v1.y > clip_bottom) return 1;
  if (v1.x < clip_left && v2.x < clip_left && v3.x < clip_left) return 1;
  if (v1.x > clip_right && v2.x > clip_right && v3.x > clip_right) return 1;

  auto outside_x = [](const Vertex& v) { return v.x < clip_left || v.x > clip_right; };
  TriangleFill<Pixel, Edges> fill(color, buffer, pitch, outside_x(v1) || outside_x(v2) || outside_x(v3));
  if (v1.y == v2.y) {
    fill.FlatTop(v1, v2, v3);
  } else if (v2.y == v3.y) {
    fill.FlatBottom(v1, v2, v3);
  } else {
    // Split at the middle vertex's row, the split point found in float for both arithmetics.
    const float t =
        static_cast<float>(v2.y - v1.y) * static_cast<float>(v3.x - v1.x) / static_cast<float>(v3.y - v1.y) + 0.5f;
    const Vertex middle{v1.x + static_cast<int64_t>(t), v2.y};
    fill.FlatBottom(v1, middle, v2);
    fill.FlatTop(v2, middle, v3);
  }
  return 1;
}

}  // namespace

int DrawTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint8_t color, uint8_t* buffer,
                 int32_t pitch) {
  return Triangle<uint8_t, FloatEdges>(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
}
int DrawTriangleFixed(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint8_t color,
                      uint8_t* buffer, int32_t pitch) {
  return Triangle<uint8_t, FixedEdges>(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
}
int DrawTriangle16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint16_t color,
                   uint8_t* buffer, int32_t pitch) {
  return Triangle<uint16_t, FloatEdges>(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
}
