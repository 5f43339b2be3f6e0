#include "display/draw/polygon.h"

#include <cmath>
#include <random>
#include <vector>

#include "display/draw/lines.h"
#include "display/draw/trig.h"
#include "tests/display/draw/coverage.h"
#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

using PolygonTest = ScreenTest;

Polygon2D MakePolygon(std::vector<Vertex2D>& v, int32_t x, int32_t y, int32_t color = 9) {
  return Polygon2D{1, static_cast<int32_t>(v.size()), x, y, 0, 0, color, v.data()};
}

TEST_F(PolygonTest, TransformsMoveRotateAndScaleVertices) {
  std::vector<Vertex2D> v{{10, 0}, {0, 5}, {-3, -4}};
  Polygon2D p = MakePolygon(v, 100, 50);
  EXPECT_EQ(TranslatePolygon(&p, 5, -7), 1);
  EXPECT_EQ(p.x, 105);
  EXPECT_EQ(p.y, 43);
  EXPECT_EQ(TranslatePolygonMatrix(&p, -5, 7), 1);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 50);

  // -90 degrees reads the entries for 270: (10, 0) goes to (0, -10).
  ASSERT_EQ(RotatePolygon(&p, -90), 1);
  EXPECT_NEAR(v[0].x, 0, 1e-5);
  EXPECT_FLOAT_EQ(v[0].y, 10 * sin_table[270]);
  EXPECT_FLOAT_EQ(v[1].x, -5 * sin_table[270]);
  RotatePolygon(&p, 90);
  EXPECT_NEAR(v[0].x, 10, 1e-5);
  EXPECT_NEAR(v[0].y, 0, 1e-5);

  // Matrix rotation gives the table rotation's result; angles past a full turn wrap.
  std::vector<Vertex2D> w = v;
  Polygon2D q = MakePolygon(w, 0, 0);
  RotatePolygon(&p, 33);
  RotatePolygonMatrix(&q, 33 + 720);
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_FLOAT_EQ(v[i].x, w[i].x);
    EXPECT_FLOAT_EQ(v[i].y, w[i].y);
  }
  ScalePolygon(&p, 2, -1);
  ScalePolygonMatrix(&q, 2, -1);
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_FLOAT_EQ(v[i].x, w[i].x);
    EXPECT_FLOAT_EQ(v[i].y, w[i].y);
  }

  // Translation saturates instead of wrapping around.
  p.x = INT32_MAX - 1;
  TranslatePolygon(&p, 10, 0);
  EXPECT_EQ(p.x, INT32_MAX);

  EXPECT_EQ(TranslatePolygon(nullptr, 1, 1), 0);
  EXPECT_EQ(RotatePolygon(nullptr, 1), 0);
  EXPECT_EQ(ScalePolygonMatrix(nullptr, 1, 1), 0);
  Polygon2D missing{1, 3, 0, 0, 0, 0, 1, nullptr};
  EXPECT_EQ(RotatePolygon(&missing, 10), 0);
  EXPECT_EQ(ScalePolygon(&missing, 2, 2), 0);
}

TEST_F(PolygonTest, BoundsAlwaysContainTheOrigin) {
  std::vector<Vertex2D> v{{5, 2}, {9, 7}, {6, -3}};
  Polygon2D p = MakePolygon(v, 300, 300);
  float min_x = -1, max_x = -1, min_y = -1, max_y = -1;
  ASSERT_EQ(PolygonBounds(&p, &min_x, &max_x, &min_y, &max_y), 1);
  EXPECT_EQ(min_x, 0);
  EXPECT_EQ(max_x, 9);
  EXPECT_EQ(min_y, -3);
  EXPECT_EQ(max_y, 7);
  p.vertex_count = 0;
  EXPECT_EQ(PolygonBounds(&p, &min_x, &max_x, &min_y, &max_y), 0);
  EXPECT_EQ(PolygonBounds(nullptr, &min_x, &max_x, &min_y, &max_y), 0);
}

TEST_F(PolygonTest, OutlineDrawsEveryEdgeIncludingTheClosingOne) {
  std::vector<Vertex2D> v{{0, 0}, {40, 10}, {10.9f, 30.9f}};
  Polygon2D p = MakePolygon(v, 20, 20, 7);
  GuardedBuffer<uint8_t> outline(100, 100), expected(100, 100);
  SetScreen(100, 100);
  ASSERT_EQ(DrawPolygon(&p, outline.buffer(), outline.pitch()), 1);
  // End points are truncated toward zero: the third vertex lands on (30, 50).
  DrawLine(20, 20, 60, 30, 7, expected.buffer(), expected.pitch());
  DrawLine(60, 30, 30, 50, 7, expected.buffer(), expected.pitch());
  DrawLine(20, 20, 30, 50, 7, expected.buffer(), expected.pitch());
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(outline.get(x, y), expected.get(x, y)) << x << "," << y;

  // Inactive, empty or vertex-less polygons draw nothing.
  outline.Clear();
  p.active = 0;
  EXPECT_EQ(DrawPolygon(&p, outline.buffer(), outline.pitch()), 0);
  EXPECT_EQ(FillPolygon(&p, outline.buffer(), outline.pitch()), 0);
  p.active = 1;
  p.vertex_count = 0;
  EXPECT_EQ(DrawPolygon(&p, outline.buffer(), outline.pitch()), 0);
  EXPECT_EQ(FillPolygon16(&p, outline.buffer(), outline.pitch()), 0);
  Polygon2D missing{1, 4, 0, 0, 0, 0, 1, nullptr};
  EXPECT_EQ(DrawPolygon16(&missing, outline.buffer(), outline.pitch()), 0);
  EXPECT_EQ(FillPolygon(&missing, outline.buffer(), outline.pitch()), 0);
  EXPECT_EQ(DrawPolygon(nullptr, outline.buffer(), outline.pitch()), 0);
  EXPECT_EQ(outline.Count(7), 0);
}

// A regular n-gon of radius r about (cx, cy), turned by `turn` radians.
std::vector<Vertex2D> RegularPolygon(int n, float r, float turn) {
  std::vector<Vertex2D> v;
  for (int i = 0; i < n; ++i) {
    const float a = turn + 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
    v.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return v;
}

std::vector<RefPoint> Truncated(const Polygon2D& p) {
  std::vector<RefPoint> s;
  s.reserve(static_cast<size_t>(p.vertex_count));
  for (int i = 0; i < p.vertex_count; ++i)
    s.push_back(
        {std::trunc(static_cast<float>(p.x) + p.vertices[i].x), std::trunc(static_cast<float>(p.y) + p.vertices[i].y)});
  return s;
}

TEST_F(PolygonTest, FillCoversConvexPolygonsOfEitherWinding) {
  GuardedBuffer<uint8_t> buf(120, 100);
  SetScreen(120, 100);
  // A square fills both ends of every row: 11 x 11 pixels.
  std::vector<Vertex2D> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Polygon2D sq = MakePolygon(square, 30, 40, 3);
  ASSERT_EQ(FillPolygon(&sq, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(buf.Count(3), 121);
  EXPECT_EQ(buf.ChangedOutside(30, 40, 40, 50), 0);

  std::mt19937 rng(4);
  std::uniform_real_distribution<float> turn(0, 6.3f), radius(3, 45);
  for (int i = 0; i < 200; ++i) {
    std::vector<Vertex2D> v = RegularPolygon(3 + i % 8, radius(rng), turn(rng));
    if (i % 2) std::reverse(v.begin(), v.end());
    Polygon2D p = MakePolygon(v, 60, 50, 4);
    buf.Clear();
    ASSERT_EQ(FillPolygon(&p, buf.buffer(), buf.pitch()), 1);
    const CoverageErrors e = CompareCoverage(buf, uint8_t{4}, Truncated(p), 1.0, 1.0);
    ASSERT_EQ(e.stray, 0) << i;
    ASSERT_EQ(e.missing, 0) << i;
  }
}

TEST_F(PolygonTest, FillOfAPolygonLeavingTheBufferStaysInTheClipRectangle) {
  GuardedBuffer<uint8_t> buf(120, 100);
  GuardedBuffer<uint16_t> wide(120, 100, 3);
  SetScreen(120, 100);
  SetClip(10, 5, 109, 89);
  std::vector<Vertex2D> v = RegularPolygon(6, 80, 0.3f);
  Polygon2D p = MakePolygon(v, 20, 90, 5);
  ASSERT_EQ(FillPolygon(&p, buf.buffer(), buf.pitch()), 1);
  ASSERT_EQ(FillPolygon16(&p, wide.buffer(), wide.pitch()), 1);
  EXPECT_EQ(buf.ChangedOutside(10, 5, 109, 89), 0);
  EXPECT_EQ(wide.ChangedOutside(10, 5, 109, 89), 0);
  // Inside the clip rectangle it is the same polygon as an unclipped fill would give.
  const CoverageErrors e = CompareCoverage(buf, uint8_t{5}, Truncated(p), 1.0, 1.0);
  int missing_inside = 0;
  for (int y = 5; y <= 89; ++y)
    for (int x = 10; x <= 109; ++x) missing_inside += buf.get(x, y) != 5 && OutsideDistance(Truncated(p), x, y) < -1.0;
  EXPECT_EQ(e.stray, 0);
  EXPECT_EQ(missing_inside, 0);
  EXPECT_GT(buf.Count(5), 3000);
  EXPECT_EQ(wide.Count(5), buf.Count(5));

  // Far off and huge: nothing outside, and no endless row loop.
  std::vector<Vertex2D> huge{{-3e9f, -3e9f}, {3e9f, -3e9f}, {3e9f, 3e9f}, {-3e9f, 3e9f}};
  Polygon2D h = MakePolygon(huge, 0, 0, 6);
  buf.Clear();
  ASSERT_EQ(FillPolygon(&h, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(buf.Count(6), 100 * 85);
  EXPECT_EQ(buf.ChangedOutside(10, 5, 109, 89), 0);
}

}  // namespace
