// Thousands of random shapes, partly or wholly off screen, never write outside the clip rectangle.
#include <random>
#include <vector>

#include "display/draw/lines.h"
#include "display/draw/polygon.h"
#include "display/draw/triangles.h"
#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

using NoStrayWritesTest = ScreenTest;

TEST_F(NoStrayWritesTest, RandomShapesStayInsideTheClipRectangle) {
  SetScreen(320, 240);
  const int left = 17, top = 9, right = 300, bottom = 221;
  SetClip(left, top, right, bottom);
  GuardedBuffer<uint8_t> buf(320, 240, 5);
  GuardedBuffer<uint16_t> wide(320, 240, 2);
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> coord(-600, 900), count(1, 9), kind(0, 6);
  std::uniform_real_distribution<float> offset(-500, 500);
  std::vector<Vertex2D> v;
  for (int i = 0; i < 6000; ++i) {
    const uint8_t c = static_cast<uint8_t>(1 + i % 250);
    const uint16_t c16 = static_cast<uint16_t>(1 + i);
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng), x3 = coord(rng), y3 = coord(rng);
    switch (kind(rng)) {
      case 0:
        DrawClipLine(x1, y1, x2, y2, c, buf.buffer(), buf.pitch());
        DrawClipLine16(x1, y1, x2, y2, c16, wide.buffer(), wide.pitch());
        break;
      case 1:
        DrawTriangle(x1, y1, x2, y2, x3, y3, c, buf.buffer(), buf.pitch());
        DrawTriangle16(x1, y1, x2, y2, x3, y3, c16, wide.buffer(), wide.pitch());
        break;
      case 2: DrawTriangleFixed(x1, y1, x2, y2, x3, y3, c, buf.buffer(), buf.pitch()); break;
      case 3:
        DrawHLine(x1, x2, y1, c, buf.buffer(), buf.pitch());
        DrawVLine16(y1, y2, x1, c16, wide.buffer(), wide.pitch());
        break;
      default: {
        // Random vertex lists, convex or not, some with wild positions.
        v.clear();
        const int n = count(rng);
        for (int k = 0; k < n; ++k) v.push_back({offset(rng), offset(rng)});
        if (i % 97 == 0) v[0] = {3e9f, -3e9f};
        Polygon2D p{1, n, x1 / 2 + 100, y1 / 2 + 100, 0, 0, c, v.data()};
        DrawPolygon(&p, buf.buffer(), buf.pitch());
        FillPolygon(&p, buf.buffer(), buf.pitch());
        p.color = c16;
        DrawPolygon16(&p, wide.buffer(), wide.pitch());
        FillPolygon16(&p, wide.buffer(), wide.pitch());
      }
    }
  }
  EXPECT_EQ(buf.ChangedOutside(left, top, right, bottom), 0);
  EXPECT_EQ(wide.ChangedOutside(left, top, right, bottom), 0);
  // Something was drawn in every corner region of the rectangle.
  EXPECT_NE(buf.get(left, top), 0);
  EXPECT_NE(buf.get(right, bottom), 0);
  EXPECT_NE(wide.get(left, bottom), 0);
  EXPECT_NE(wide.get(right, top), 0);
}

}  // namespace
