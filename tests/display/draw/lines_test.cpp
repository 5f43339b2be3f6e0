#include "display/draw/lines.h"

#include <cmath>
#include <random>
#include <set>

#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

using LinesTest = ScreenTest;
using Points = std::set<std::pair<int, int>>;

template <typename Pixel>
Points Lit(const GuardedBuffer<Pixel>& buf, Pixel color) {
  Points p;
  for (int y = 0; y < buf.height(); ++y)
    for (int x = 0; x < buf.width(); ++x)
      if (buf.get(x, y) == color) p.insert({x, y});
  return p;
}

TEST_F(LinesTest, BresenhamSetsOnePixelPerMajorStepClosestToTheLine) {
  GuardedBuffer<uint8_t> buf(64, 64, 3);
  DrawLine(0, 0, 3, 1, 7, buf.buffer(), buf.pitch());
  EXPECT_EQ(Lit(buf, uint8_t{7}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  buf.Clear();
  DrawLine(0, 0, 2, 2, 7, buf.buffer(), buf.pitch());
  EXPECT_EQ(Lit(buf, uint8_t{7}), (Points{{0, 0}, {1, 1}, {2, 2}}));
  buf.Clear();
  DrawLine(5, 5, 5, 5, 7, buf.buffer(), buf.pitch());
  EXPECT_EQ(Lit(buf, uint8_t{7}), (Points{{5, 5}}));

  // Every direction: both ends set, one pixel per step of the longer axis, each within half a
  // pixel of the exact line, and nothing else written.
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> c(0, 63);
  for (int i = 0; i < 2000; ++i) {
    buf.Clear();
    const int x0 = c(rng), y0 = c(rng), x1 = c(rng), y1 = c(rng);
    ASSERT_EQ(DrawLine(x0, y0, x1, y1, 9, buf.buffer(), buf.pitch()), 1);
    const Points lit = Lit(buf, uint8_t{9});
    const int dx = x1 - x0, dy = y1 - y0;
    const bool x_major = std::abs(dx) > std::abs(dy);
    const int steps = std::max(std::abs(dx), std::abs(dy));
    ASSERT_EQ(static_cast<int>(lit.size()), steps + 1);
    ASSERT_TRUE(lit.count({x0, y0}) && lit.count({x1, y1}));
    for (auto [x, y] : lit) {
      const double along = x_major ? x - x0 : y - y0;
      const double across = x_major ? y - y0 : x - x0;
      const double exact = steps ? along * (x_major ? dy : dx) / (x_major ? dx : dy) : 0;
      ASSERT_LE(std::abs(across - exact), 0.5 + 1e-9) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
    ASSERT_EQ(buf.ChangedOutside(0, 0, 63, 63), 0);
  }

  GuardedBuffer<uint16_t> wide(16, 16, 1);
  DrawLine16(3, 1, 0, 0, 0xBEEF, wide.buffer(), wide.pitch());
  EXPECT_EQ(Lit(wide, uint16_t{0xBEEF}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(DrawLine(0, 0, 1, 1, 1, nullptr, 64), 0);
}

TEST_F(LinesTest, SpansAreOrderedAndClampedToTheClipRectangle) {
  GuardedBuffer<uint8_t> buf(640, 480);
  DrawHLine(700, 600, 10, 5, buf.buffer(), buf.pitch());
  EXPECT_EQ(buf.Count(5), 40);
  EXPECT_EQ(buf.ChangedOutside(600, 10, 639, 10), 0);
  DrawHLine(0, 639, -1, 6, buf.buffer(), buf.pitch());
  DrawHLine(0, 639, 480, 6, buf.buffer(), buf.pitch());
  DrawHLine(-10, -1, 5, 6, buf.buffer(), buf.pitch());
  DrawHLine(640, 650, 5, 6, buf.buffer(), buf.pitch());
  DrawVLine(0, 479, -1, 6, buf.buffer(), buf.pitch());
  DrawVLine(-20, -5, 4, 6, buf.buffer(), buf.pitch());
  EXPECT_EQ(buf.Count(6), 0);
  DrawVLine(INT32_MAX, INT32_MIN, 3, 8, buf.buffer(), buf.pitch());
  EXPECT_EQ(buf.Count(8), 480);
  EXPECT_EQ(buf.ChangedOutside(600, 10, 639, 10), 480);

  // A smaller clip rectangle holds the 16-bit versions too.
  SetClip(100, 50, 199, 149);
  GuardedBuffer<uint16_t> wide(640, 480, 5);
  DrawHLine16(-1000, 1000, 100, 0x1111, wide.buffer(), wide.pitch());
  DrawVLine16(1000, -1000, 150, 0x2222, wide.buffer(), wide.pitch());
  DrawHLine16(120, 120, 149, 0x3333, wide.buffer(), wide.pitch());
  EXPECT_EQ(wide.Count(0x1111), 99);  // one pixel went to the crossing column
  EXPECT_EQ(wide.Count(0x2222), 100);
  EXPECT_EQ(wide.Count(0x3333), 1);
  EXPECT_EQ(wide.get(100, 100), 0x1111);
  EXPECT_EQ(wide.get(199, 100), 0x1111);
  EXPECT_EQ(wide.get(150, 50), 0x2222);
  EXPECT_EQ(wide.ChangedOutside(100, 50, 199, 149), 0);
}

TEST_F(LinesTest, ClippedLinesReachTheEdgesAndPixelsAreUnclipped) {
  SetClip(40, 30, 599, 449);
  GuardedBuffer<uint8_t> buf(640, 480);
  GuardedBuffer<uint16_t> wide(640, 480, 7);
  // A line crossing the whole rectangle reaches both edges.
  DrawClipLine(-100, 240, 900, 240, 3, buf.buffer(), buf.pitch());
  EXPECT_EQ(buf.Count(3), 560);
  EXPECT_EQ(buf.get(40, 240), 3);
  EXPECT_EQ(buf.get(599, 240), 3);

  PlotPixel(639, 479, 4, buf.buffer(), buf.pitch());
  PlotPixel16(639, 479, 0x4444, wide.buffer(), wide.pitch());
  EXPECT_EQ(buf.get(639, 479), 4);
  EXPECT_EQ(wide.get(639, 479), 0x4444);
  EXPECT_EQ(PlotPixel(0, 0, 1, nullptr, 640), 0);
}

}  // namespace
