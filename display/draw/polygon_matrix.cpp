#include "display/draw/coordinates.h"
#include "display/draw/polygon.h"
#include "display/draw/polygon_vertices.h"
#include "display/draw/trig.h"

namespace {

int TransformVertices(Polygon2D* polygon, const Matrix3x2& matrix) {
  if (!draw_detail::CanTransform(polygon)) return 0;
  for (int32_t i = 0; i < polygon->vertex_count; ++i)
    MultiplyPoint3x2(&polygon->vertices[i], &matrix, &polygon->vertices[i]);
  return 1;
}

}  // namespace

int TranslatePolygonMatrix(Polygon2D* polygon, int32_t dx, int32_t dy) {
  if (polygon == nullptr) return 0;
  Matrix3x2 m{};
  InitMatrix3x2(&m, 1, 0, 0, 1, static_cast<float>(dx), static_cast<float>(dy));
  const Point2D at{static_cast<float>(polygon->x), static_cast<float>(polygon->y)};
  Point2D moved{};
  MultiplyPoint3x2(&at, &m, &moved);
  polygon->x = draw_detail::TruncToInt32(moved.x);
  polygon->y = draw_detail::TruncToInt32(moved.y);
  return 1;
}

int RotatePolygonMatrix(Polygon2D* polygon, int32_t degrees) {
  const int index = TrigIndex(degrees);
  const float c = cos_table[index], s = sin_table[index];
  Matrix3x2 m{};
  InitMatrix3x2(&m, c, s, -s, c, 0, 0);
  return TransformVertices(polygon, m);
}

int ScalePolygonMatrix(Polygon2D* polygon, float sx, float sy) {
  Matrix3x2 m{};
  InitMatrix3x2(&m, sx, 0, 0, sy, 0, 0);
  return TransformVertices(polygon, m);
}
