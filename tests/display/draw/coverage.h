#pragma once
// A reference for filled convex shapes with integer pixel centres: how far a pixel lies outside
// the exact shape (negative inside), measured as the largest signed distance to an edge line.
#include <cmath>
#include <utility>
#include <vector>

struct RefPoint {
  double x, y;
};

inline double OutsideDistance(const std::vector<RefPoint>& shape, double x, double y) {
  double area = 0;
  for (size_t i = 0; i < shape.size(); ++i) {
    const RefPoint& p = shape[i];
    const RefPoint& q = shape[(i + 1) % shape.size()];
    area += p.x * q.y - q.x * p.y;
  }
  const double orientation = area >= 0 ? 1.0 : -1.0;
  double worst = -1e300;
  for (size_t i = 0; i < shape.size(); ++i) {
    const RefPoint& p = shape[i];
    const RefPoint& q = shape[(i + 1) % shape.size()];
    const double len = std::hypot(q.x - p.x, q.y - p.y);
    if (len == 0) continue;
    const double inside = ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x)) * orientation / len;
    worst = std::max(worst, -inside);
  }
  return worst;
}

// Counts of pixels that disagree with the reference beyond the tolerances.
struct CoverageErrors {
  int stray = 0;    // drawn, but farther than tolerance outside the shape
  int missing = 0;  // deeper than tolerance inside the shape, but not drawn
};

// The triangle split point is rounded toward zero (off by up to 1.5 pixels) and fixed-point
// runs counted from the left end can reach a pixel past the right end: stray pixels are allowed
// two and a half pixels out, missing ones a pixel and a half in.
constexpr double kStrayTolerance = 2.5, kMissingTolerance = 1.5;

template <typename Buffer, typename Pixel>
CoverageErrors CompareCoverage(const Buffer& buf, Pixel color, const std::vector<RefPoint>& shape,
                               double stray_tolerance = kStrayTolerance, double missing_tolerance = kMissingTolerance) {
  CoverageErrors e;
  for (int y = 0; y < buf.height(); ++y)
    for (int x = 0; x < buf.width(); ++x) {
      const double d = OutsideDistance(shape, x, y);
      const bool drawn = buf.get(x, y) == color;
      if (drawn && d > stray_tolerance) ++e.stray;
      if (!drawn && d < -missing_tolerance) ++e.missing;
    }
  return e;
}
