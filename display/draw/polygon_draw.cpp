#include "display/display.h"
#include "display/draw/lines.h"
#include "display/draw/polygon.h"
#include "display/draw/polygon_vertices.h"
#include "display/draw/spans.h"

using draw_detail::CanDraw;
using draw_detail::ScreenPoint;
using draw_detail::ScreenPointOf;

namespace {

template <typename Pixel>
int ClipLineOf(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Pixel color, uint8_t* buffer, int32_t pitch) {
  if constexpr (sizeof(Pixel) == 1)
    return DrawClipLine(x0, y0, x1, y1, color, buffer, pitch);
  else
    return DrawClipLine16(x0, y0, x1, y1, color, buffer, pitch);
}

template <typename Pixel>
int Outline(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  if (!CanDraw(polygon) || buffer == nullptr) return 0;
  const Pixel color = static_cast<Pixel>(polygon->color);
  const int32_t n = polygon->vertex_count;
  // Every end point goes through the line clipper: none outside the clip rectangle is drawn.
  auto edge = [&](int32_t a, int32_t b) {
    const ScreenPoint p = ScreenPointOf(polygon, a), q = ScreenPointOf(polygon, b);
    ClipLineOf<Pixel>(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y), static_cast<int32_t>(q.x),
                      static_cast<int32_t>(q.y), color, buffer, pitch);
  };
  for (int32_t i = 0; i + 1 < n; ++i) edge(i, i + 1);
  edge(0, n - 1);
  return 1;
}

// One side of the fill: the edge from vertex `from` to vertex `to`, walking in direction `step`.
struct Chain {
  int32_t from, to, step;
  ScreenPoint a, b;  // the edge's end points
};

// x of the edge on row y (a.y <= y <= b.y, a.y < b.y), rounded to the nearest column: the
// column an integer edge stepper reaches on that row.
int64_t ChainX(const Chain& c, int64_t y) {
  const int64_t dy = c.b.y - c.a.y;
  const int64_t num = 2 * (y - c.a.y) * (c.b.x - c.a.x) + dy;
  const int64_t den = 2 * dy;
  const int64_t q = num / den;
  return c.a.x + ((num % den != 0 && (num < 0)) ? q - 1 : q);  // floor division
}

template <typename Pixel>
int FillConvex(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  if (!CanDraw(polygon) || buffer == nullptr) return 0;
  const int32_t n = polygon->vertex_count;
  const Pixel color = static_cast<Pixel>(polygon->color);

  // The top vertex; ties keep the lower index.
  int32_t top = 0;
  for (int32_t i = 1; i < n; ++i)
    if (polygon->vertices[i].y < static_cast<float>(draw_detail::TruncToInt32(polygon->vertices[top].y))) top = i;

  auto wrap = [n](int32_t i) { return i < 0 ? n - 1 : (i >= n ? 0 : i); };
  auto start = [&](int32_t step) {
    Chain c{top, wrap(top + step), step, ScreenPointOf(polygon, top), {}};
    c.b = ScreenPointOf(polygon, c.to);
    return c;
  };
  Chain left = start(-1), right = start(+1);
  int32_t edges_used = 0;
  // Moves a chain on while its edge ends above row y or is horizontal; false once the polygon's
  // vertex_count - 1 edges are used up.
  auto advance = [&](Chain& c, int64_t y) {
    while (c.b.y < y || c.b.y == c.a.y) {
      if (edges_used >= n - 1) return false;
      ++edges_used;
      c.from = c.to;
      c.a = c.b;
      c.to = wrap(c.to + c.step);
      c.b = ScreenPointOf(polygon, c.to);
    }
    return true;
  };

  // Rows above the clip rectangle are skipped without drawing, rows below it end the fill.
  int64_t y = left.a.y < clip_top ? clip_top : left.a.y;
  for (; y <= clip_bottom; ++y) {
    if (!advance(left, y) || !advance(right, y)) break;
    const int64_t xa = ChainX(left, y), xb = ChainX(right, y);
    draw_detail::FillClippedSpan<Pixel>(xa < xb ? xa : xb, xa < xb ? xb : xa, y, color, buffer, pitch);
  }
  return 1;
}

}  // namespace

int DrawPolygon(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  return Outline<uint8_t>(polygon, buffer, pitch);
}
int DrawPolygon16(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  return Outline<uint16_t>(polygon, buffer, pitch);
}
int FillPolygon(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  return FillConvex<uint8_t>(polygon, buffer, pitch);
}
int FillPolygon16(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch) {
  return FillConvex<uint16_t>(polygon, buffer, pitch);
}
