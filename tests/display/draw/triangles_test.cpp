#include "display/draw/triangles.h"

#include <random>

#include "tests/display/draw/coverage.h"
#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

using TrianglesTest = ScreenTest;
using Drawer = int (*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t*, int32_t);

struct Named {
  const char* name;
  Drawer draw;
};
const Named kDrawers[] = {{"float", DrawTriangle}, {"fixed", DrawTriangleFixed}};

TEST_F(TrianglesTest, SmallTrianglesFillTheirRowsInclusively) {
  for (const Named& d : kDrawers) {
    SCOPED_TRACE(d.name);
    GuardedBuffer<uint8_t> buf(32, 32);
    SetScreen(32, 32);
    // Flat top: rows 2..6, narrowing from columns 2..10 to column 6.
    d.draw(2, 2, 10, 2, 6, 6, 1, buf.buffer(), buf.pitch());
    for (int x = 2; x <= 10; ++x) EXPECT_EQ(buf.get(x, 2), 1) << x;
    EXPECT_EQ(buf.get(6, 6), 1);
    EXPECT_EQ(buf.get(5, 6) + buf.get(7, 6), 0);
    EXPECT_EQ(buf.ChangedOutside(2, 2, 10, 6), 0);
    buf.Clear();
    // Flat bottom, given in any vertex order.
    d.draw(10, 20, 4, 10, 0, 20, 2, buf.buffer(), buf.pitch());
    EXPECT_EQ(buf.get(4, 10), 2);
    for (int x = 0; x <= 10; ++x) EXPECT_EQ(buf.get(x, 20), 2) << x;
    EXPECT_EQ(buf.ChangedOutside(0, 10, 10, 20), 0);
    buf.Clear();
    // Degenerate triangles draw nothing.
    d.draw(1, 5, 9, 5, 20, 5, 3, buf.buffer(), buf.pitch());
    d.draw(7, 1, 7, 9, 7, 30, 3, buf.buffer(), buf.pitch());
    EXPECT_EQ(buf.Count(3), 0);
    // Wholly above, below, left or right of the clip rectangle: nothing.
    SetClip(8, 8, 23, 23);
    d.draw(0, 0, 30, 2, 15, 7, 4, buf.buffer(), buf.pitch());
    d.draw(0, 24, 30, 26, 15, 31, 4, buf.buffer(), buf.pitch());
    d.draw(0, 0, 7, 15, 3, 31, 4, buf.buffer(), buf.pitch());
    d.draw(24, 0, 31, 15, 28, 31, 4, buf.buffer(), buf.pitch());
    EXPECT_EQ(buf.Count(4), 0);
    EXPECT_EQ(d.draw(0, 0, 1, 1, 0, 2, 4, nullptr, 32), 0);
  }
}

TEST_F(TrianglesTest, CoverageMatchesTheExactTriangle) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> cx(0, 199), cy(0, 149);
  GuardedBuffer<uint8_t> buf(200, 150);
  GuardedBuffer<uint16_t> wide(200, 150, 3);
  SetScreen(200, 150);
  for (int i = 0; i < 120; ++i) {
    const int x1 = cx(rng), y1 = cy(rng), x2 = cx(rng), y2 = cy(rng), x3 = cx(rng), y3 = cy(rng);
    const std::vector<RefPoint> shape{{double(x1), double(y1)}, {double(x2), double(y2)}, {double(x3), double(y3)}};
    for (const Named& d : kDrawers) {
      buf.Clear();
      d.draw(x1, y1, x2, y2, x3, y3, 5, buf.buffer(), buf.pitch());
      const CoverageErrors e = CompareCoverage(buf, uint8_t{5}, shape);
      ASSERT_EQ(e.stray, 0) << d.name << " " << x1 << "," << y1 << " " << x2 << "," << y2 << " " << x3 << "," << y3;
      ASSERT_EQ(e.missing, 0) << d.name << " " << x1 << "," << y1 << " " << x2 << "," << y2 << " " << x3 << "," << y3;
      ASSERT_EQ(buf.ChangedOutside(0, 0, 199, 149), 0);
    }
    wide.Clear();
    DrawTriangle16(x1, y1, x2, y2, x3, y3, 0xCAFE, wide.buffer(), wide.pitch());
    const CoverageErrors e = CompareCoverage(wide, uint16_t{0xCAFE}, shape);
    ASSERT_EQ(e.stray + e.missing, 0);
    ASSERT_EQ(wide.ChangedOutside(0, 0, 199, 149), 0);
  }
}

TEST_F(TrianglesTest, ClippedTrianglesKeepTheirInsideAndNothingElse) {
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> c(-150, 350);
  GuardedBuffer<uint8_t> buf(200, 150);
  SetScreen(200, 150);
  SetClip(20, 10, 179, 139);
  int drawn = 0;
  for (int i = 0; i < 120; ++i) {
    const int x1 = c(rng), y1 = c(rng) - 50, x2 = c(rng), y2 = c(rng) - 50, x3 = c(rng), y3 = c(rng) - 50;
    const std::vector<RefPoint> shape{{double(x1), double(y1)}, {double(x2), double(y2)}, {double(x3), double(y3)}};
    for (const Named& d : kDrawers) {
      buf.Clear();
      d.draw(x1, y1, x2, y2, x3, y3, 6, buf.buffer(), buf.pitch());
      ASSERT_EQ(buf.ChangedOutside(20, 10, 179, 139), 0) << d.name;
      // Inside the clip rectangle the triangle is exactly what an unclipped one would be.
      int missing = 0, stray = 0;
      for (int y = 10; y <= 139; ++y)
        for (int x = 20; x <= 179; ++x) {
          const double dist = OutsideDistance(shape, x, y);
          const bool lit = buf.get(x, y) == 6;
          stray += lit && dist > kStrayTolerance;
          missing += !lit && dist < -kMissingTolerance;
          drawn += lit;
        }
      ASSERT_EQ(stray + missing, 0) << d.name << " " << x1 << "," << y1 << " " << x2 << "," << y2 << " " << x3 << ","
                                    << y3;
    }
  }
  EXPECT_GT(drawn, 40000);
}

// Far-away vertices: a half wholly above the clip rectangle is skipped without advancing its
// edges hundreds of millions of rows (an overflow the undefined-behaviour sanitizer reports).
TEST_F(TrianglesTest, HugeCoordinatesDrawOnlyWhatIsInside) {
  GuardedBuffer<uint8_t> buf(64, 48);
  SetScreen(64, 48);
  SetClip(0, 0, 63, 47);
  for (const Named& d : kDrawers) {
    buf.Clear();
    d.draw(-268435456, -268435456, 268435456, -268435455, 0, 10, 6, buf.buffer(), buf.pitch());
    EXPECT_EQ(buf.ChangedOutside(0, 0, 63, 47), 0) << d.name;
    buf.Clear();
    d.draw(-268435456, -268435456, 268435456, 268435456, -268435456, 268435456, 6, buf.buffer(), buf.pitch());
    EXPECT_EQ(buf.ChangedOutside(0, 0, 63, 47), 0) << d.name;
    EXPECT_EQ(buf.get(10, 40), 6) << d.name << ": the corner inside the screen is filled";
  }
}

}  // namespace
