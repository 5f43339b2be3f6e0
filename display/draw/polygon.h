#pragma once
// A 2D polygon record with operations to move, rotate, scale, outline and fill it.
#include <cstdint>

#include "display/draw/matrix.h"

using Vertex2D = Point2D;

struct Polygon2D {
  int32_t active;  // drawing does nothing (returns 0) while 0
  int32_t vertex_count;
  int32_t x, y;          // added to every vertex when drawing
  int32_t vel_x, vel_y;  // not used here
  int32_t color;         // palette index or 16-bit pixel
  Vertex2D* vertices;    // vertex_count vertices relative to (x, y); owned by the caller
};

// All return 0 for a null polygon, or one whose vertex_count is below 1 or whose vertices are
// missing; otherwise 1 unless stated.
int TranslatePolygon(Polygon2D* polygon, int32_t dx, int32_t dy);
// Rotates every vertex about (x, y) by the table cosine and sine of the angle.
int RotatePolygon(Polygon2D* polygon, int32_t degrees);
int ScalePolygon(Polygon2D* polygon, float sx, float sy);

// The outline with clipped lines; 0 also when not active.
int DrawPolygon(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch);
int DrawPolygon16(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch);

// Fills a convex polygon given in order (either winding). Every span is clipped to the clip
// rectangle, so a polygon may leave the buffer. 0 also when not active.
int FillPolygon(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch);
int FillPolygon16(const Polygon2D* polygon, uint8_t* buffer, int32_t pitch);

// The box around the vertices and the polygon's origin (all four start at 0.0).
int PolygonBounds(const Polygon2D* polygon, float* min_x, float* max_x, float* min_y, float* max_y);

// The same moves through 3 x 2 matrices.
int TranslatePolygonMatrix(Polygon2D* polygon, int32_t dx, int32_t dy);
int RotatePolygonMatrix(Polygon2D* polygon, int32_t degrees);
int ScalePolygonMatrix(Polygon2D* polygon, float sx, float sy);
