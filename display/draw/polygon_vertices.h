#pragma once
// Checks and vertex access shared by the polygon operations.
#include "display/draw/coordinates.h"
#include "display/draw/polygon.h"

namespace draw_detail {

// A polygon whose vertices may be read: vertex_count of 0 needs no array.
inline bool CanTransform(const Polygon2D* polygon) {
  return polygon != nullptr && (polygon->vertex_count <= 0 || polygon->vertices != nullptr);
}

inline bool CanDraw(const Polygon2D* polygon) {
  return polygon != nullptr && polygon->active != 0 && polygon->vertex_count >= 1 && polygon->vertices != nullptr;
}

struct ScreenPoint {
  int64_t x, y;
};

// (x + vertex x, y + vertex y) truncated toward zero, within the coordinate limit.
inline ScreenPoint ScreenPointOf(const Polygon2D* polygon, int index) {
  const Vertex2D& v = polygon->vertices[index];
  return {ClampCoordinate(TruncToInt32(static_cast<float>(polygon->x) + v.x)),
          ClampCoordinate(TruncToInt32(static_cast<float>(polygon->y) + v.y))};
}

}  // namespace draw_detail
