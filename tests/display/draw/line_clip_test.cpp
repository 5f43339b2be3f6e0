#include "display/draw/line_clip.h"

#include <cmath>
#include <random>

#include "tests/display/draw/screen_fixture.h"

namespace {

using ClipLineTest = ScreenTest;

struct Line {
  int32_t x0, y0, x1, y1;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
  return os << "(" << l.x0 << ", " << l.y0 << ") - (" << l.x1 << ", " << l.y1 << ")";
}

// Clips a copy; the result's flag and points.
std::pair<int, Line> Clip(Line l) {
  const int r = ClipLine(l.x0, l.y0, l.x1, l.y1);
  return {r, l};
}

TEST_F(ClipLineTest, ClipsAcrossEveryEdgeAndCorner) {
  EXPECT_EQ(Clip({-10, 100, 100, 100}), std::make_pair(1, Line{0, 100, 100, 100}));
  EXPECT_EQ(Clip({-20, 0, 20, 40}), std::make_pair(1, Line{0, 20, 20, 40}));  // 20.5 truncated
  EXPECT_EQ(Clip({100, 100, 700, 100}), std::make_pair(1, Line{100, 100, 639, 100}));
  EXPECT_EQ(Clip({320, -50, 320, 100}), std::make_pair(1, Line{320, 0, 320, 100}));
  EXPECT_EQ(Clip({320, 100, 320, 900}), std::make_pair(1, Line{320, 100, 320, 479}));
  // Both ends outside, on opposite sides.
  EXPECT_EQ(Clip({-100, 240, 800, 240}), std::make_pair(1, Line{0, 240, 639, 240}));
  EXPECT_EQ(Clip({200, -1, 200, 480}), std::make_pair(1, Line{200, 0, 200, 479}));
  // Corner regions: the crossing of the top/bottom edge is used when it lies on the rectangle,
  // otherwise the crossing of the left/right edge.
  EXPECT_EQ(Clip({-10, -20, 90, 80}), std::make_pair(1, Line{10, 0, 90, 80}));         // 9: via top
  EXPECT_EQ(Clip({-20, -10, 80, 90}), std::make_pair(1, Line{0, 10, 80, 90}));         // 9: via left
  EXPECT_EQ(Clip({649, -10, 549, 90}), std::make_pair(1, Line{639, 0, 549, 90}));      // 10: exact corner
  EXPECT_EQ(Clip({660, -10, 560, 90}), std::make_pair(1, Line{639, 11, 560, 90}));     // 10: via right
  EXPECT_EQ(Clip({-10, 500, 90, 400}), std::make_pair(1, Line{11, 479, 90, 400}));     // 5: via bottom
  EXPECT_EQ(Clip({-20, 490, 80, 390}), std::make_pair(1, Line{0, 470, 80, 390}));      // 5: via left
  EXPECT_EQ(Clip({660, 490, 560, 390}), std::make_pair(1, Line{639, 469, 560, 390}));  // 6: via right
  EXPECT_EQ(Clip({700, 479, 600, 379}), std::make_pair(1, Line{639, 418, 600, 379}));
  EXPECT_EQ(Clip({650, 490, 550, 390}), std::make_pair(1, Line{639, 479, 550, 390}));  // 6: exact corner
  // Negative sums: the +0.5 moves them toward zero, i.e. up by one.
  SetClip(-100, -100, 100, 100);
  EXPECT_EQ(Clip({-200, -50, 0, 51}), std::make_pair(1, Line{-100, 0, 0, 51}));
  EXPECT_EQ(Clip({-200, -60, 0, 41}), std::make_pair(1, Line{-100, -9, 0, 41}));
}

TEST_F(ClipLineTest, RejectsLinesOutsideAndKeepsTheirArguments) {
  // Sharing an outside region.
  EXPECT_EQ(Clip({-10, -10, -5, 500}), std::make_pair(0, Line{-10, -10, -5, 500}));
  EXPECT_EQ(Clip({0, -1, 639, -50}).first, 0);
  EXPECT_EQ(Clip({640, 0, 700, 479}).first, 0);
  EXPECT_EQ(Clip({0, 480, 639, 480}).first, 0);
  // Different regions, but passing beside a corner.
  EXPECT_EQ(Clip({-50, 20, 20, -50}), std::make_pair(0, Line{-50, 20, 20, -50}));
  EXPECT_EQ(Clip({600, -50, 700, 50}).first, 0);
  EXPECT_EQ(Clip({-50, 450, 30, 530}).first, 0);
  // Degenerate lines: a point inside stays, a point outside is refused.
  EXPECT_EQ(Clip({5, 5, 5, 5}), std::make_pair(1, Line{5, 5, 5, 5}));
  EXPECT_EQ(Clip({-5, 5, -5, 5}).first, 0);
  EXPECT_EQ(Clip({0, 0, 639, 479}), std::make_pair(1, Line{0, 0, 639, 479}));
  // Extreme coordinates neither overflow nor land outside.
  const auto far = Clip({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  if (far.first) {
    EXPECT_GE(far.second.x0, 0);
    EXPECT_LE(far.second.x1, 639);
  }
  EXPECT_EQ(Clip({INT32_MIN, 240, INT32_MAX, 240}), std::make_pair(1, Line{0, 240, 639, 240}));
}

// The exact part of the segment inside the rectangle (Liang-Barsky); false when none.
bool ExactClip(double x0, double y0, double x1, double y1, double l, double t, double r, double b, double out[4]) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy}, q[4] = {x0 - l, r - x0, y0 - t, b - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double u = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, u);
    else
      t1 = std::min(t1, u);
  }
  if (t0 > t1) return false;
  out[0] = x0 + t0 * dx, out[1] = y0 + t0 * dy, out[2] = x0 + t1 * dx, out[3] = y0 + t1 * dy;
  return true;
}

// Distance of (x, y) from the infinite line through l.
double LineDistance(const Line& l, double x, double y) {
  const double dx = l.x1 - l.x0, dy = l.y1 - l.y0;
  const double len = std::hypot(dx, dy);
  return len == 0 ? std::hypot(x - l.x0, y - l.y0) : std::abs((x - l.x0) * dy - (y - l.y0) * dx) / len;
}

TEST_F(ClipLineTest, AgreesWithExactClippingOnRandomLines) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-700, 1400);
  int clipped = 0, rejected = 0;
  for (int i = 0; i < 20000; ++i) {
    const Line in{coord(rng), coord(rng) - 200, coord(rng), coord(rng) - 200};
    const auto [ok, out] = Clip(in);
    double exact[4] = {0, 0, 0, 0};
    if (ok) {
      ++clipped;
      ASSERT_TRUE(out.x0 >= 0 && out.x0 <= 639 && out.y0 >= 0 && out.y0 <= 479) << in;
      ASSERT_TRUE(out.x1 >= 0 && out.x1 <= 639 && out.y1 >= 0 && out.y1 <= 479) << in;
      // The line passes within a pixel of the rectangle, and the clipped ends stay on it up
      // to the integer rounding along the edge.
      ASSERT_TRUE(ExactClip(in.x0, in.y0, in.x1, in.y1, -1, -1, 640, 480, exact)) << in;
      EXPECT_LT(LineDistance(in, out.x0, out.y0), 2.0) << in;
      EXPECT_LT(LineDistance(in, out.x1, out.y1), 2.0) << in;
      // Nor do they fall short of the exact crossings by more than that rounding allows.
      const double adx = std::abs(in.x1 - in.x0), ady = std::abs(in.y1 - in.y0);
      const double slack = 2.0 * (1.0 + std::max(adx / std::max(ady, 1.0), ady / std::max(adx, 1.0)));
      ExactClip(in.x0, in.y0, in.x1, in.y1, 0, 0, 639, 479, exact);
      EXPECT_LT(std::hypot(out.x0 - exact[0], out.y0 - exact[1]), slack) << in;
      EXPECT_LT(std::hypot(out.x1 - exact[2], out.y1 - exact[3]), slack) << in;
    } else {
      ++rejected;
      ASSERT_EQ(out, in);
      // A refused line has at most a sliver inside the rectangle.
      if (ExactClip(in.x0, in.y0, in.x1, in.y1, 1, 1, 638, 478, exact)) {
        EXPECT_LT(std::hypot(exact[2] - exact[0], exact[3] - exact[1]), 2.0) << in;
      }
    }
  }
  EXPECT_GT(clipped, 1000);
  EXPECT_GT(rejected, 1000);
}

}  // namespace
