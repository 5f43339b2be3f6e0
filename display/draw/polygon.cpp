#include "display/draw/polygon.h"

#include "display/draw/polygon_vertices.h"
#include "display/draw/trig.h"

using draw_detail::CanTransform;

namespace {
int32_t SaturatedSum(int32_t a, int32_t b) {
  const int64_t s = static_cast<int64_t>(a) + b;
  return s > INT32_MAX ? INT32_MAX : (s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s));
}
}  // namespace

int TranslatePolygon(Polygon2D* polygon, int32_t dx, int32_t dy) {
  if (polygon == nullptr) return 0;
  polygon->x = SaturatedSum(polygon->x, dx);
  polygon->y = SaturatedSum(polygon->y, dy);
  return 1;
}

int RotatePolygon(Polygon2D* polygon, int32_t degrees) {
  if (!CanTransform(polygon)) return 0;
  const int index = TrigIndex(degrees);
  const float c = cos_table[index], s = sin_table[index];
  for (int32_t i = 0; i < polygon->vertex_count; ++i) {
    Vertex2D& v = polygon->vertices[i];
    const float x = v.x, y = v.y;
    v.x = x * c - y * s;
    v.y = x * s + y * c;
  }
  return 1;
}

int ScalePolygon(Polygon2D* polygon, float sx, float sy) {
  if (!CanTransform(polygon)) return 0;
  for (int32_t i = 0; i < polygon->vertex_count; ++i) {
    polygon->vertices[i].x *= sx;
    polygon->vertices[i].y *= sy;
  }
  return 1;
}

int PolygonBounds(const Polygon2D* polygon, float* min_x, float* max_x, float* min_y, float* max_y) {
  if (!CanTransform(polygon) || polygon->vertex_count <= 0) return 0;
  if (min_x == nullptr || max_x == nullptr || min_y == nullptr || max_y == nullptr) return 0;
  float lo_x = 0, hi_x = 0, lo_y = 0, hi_y = 0;
  for (int32_t i = 0; i < polygon->vertex_count; ++i) {
    const Vertex2D& v = polygon->vertices[i];
    if (v.x < lo_x) lo_x = v.x;
    if (v.x > hi_x) hi_x = v.x;
    if (v.y < lo_y) lo_y = v.y;
    if (v.y > hi_y) hi_y = v.y;
  }
  *min_x = lo_x, *max_x = hi_x, *min_y = lo_y, *max_y = hi_y;
  return 1;
}
