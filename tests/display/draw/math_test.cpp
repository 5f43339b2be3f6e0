#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/draw/distance.h"
#include "display/draw/matrix.h"
#include "display/draw/trig.h"

namespace {

TEST(DistanceTest, ApproximationsGiveTheDocumentedValues) {
  EXPECT_EQ(FastDistance2D(3, 4), 6);
  EXPECT_EQ(FastDistance2D(-3, 4), 6);
  EXPECT_EQ(FastDistance2D(10, 0), 10);
  EXPECT_EQ(FastDistance2D(0, -10), 10);
  EXPECT_EQ(FastDistance2D(0, 0), 0);
  // min 100: 200 - 50 - 25 + 6 = 131 (exact 141.4).
  EXPECT_EQ(FastDistance2D(100, 100), 131);
  EXPECT_EQ(FastDistance2D(INT32_MIN, INT32_MIN), INT32_MAX);

  EXPECT_EQ(FastDistance3D(1, 1, 1), 1.0f);  // (1024 + 11 * 32 + 256) >> 10
  EXPECT_EQ(FastDistance3D(0, 0, 0), 0.0f);
  EXPECT_EQ(FastDistance3D(3, -4, 0), 5.0f);  // 4096 + 11 * 96 = 5152
  EXPECT_EQ(FastDistance3D(0, 0, -100), 100.0f);
  EXPECT_EQ(FastDistance3D(100, 100, 100), 159.0f);  // exact 173.2
  EXPECT_EQ(FastDistance3D(std::numeric_limits<float>::quiet_NaN(), 0, 0), 0.0f);
  EXPECT_GT(FastDistance3D(1e30f, 1e30f, 1e30f), 1e14f);
}

TEST(TrigTest, TablesHoldWholeDegreesAndNegativeAnglesWrap) {
  BuildTrigTables();
  EXPECT_EQ(cos_table[0], 1.0f);
  EXPECT_EQ(sin_table[0], 0.0f);
  EXPECT_EQ(sin_table[90], 1.0f);
  EXPECT_NEAR(cos_table[90], 0.0f, 1e-6);
  EXPECT_EQ(cos_table[180], -1.0f);
  EXPECT_EQ(sin_table[270], -1.0f);
  EXPECT_NEAR(sin_table[360], 0.0f, 1e-6);
  // Every entry is the double-precision value of the float angle, rounded once to float (the
  // float functions differ in the last bit at sin 7, 13, 19, 26 and cos 49, 74, 102, 104).
  for (int d = 0; d <= 360; ++d) {
    const float angle = static_cast<float>(d) * 3.1415927f / 180.0f;
    EXPECT_EQ(cos_table[d], static_cast<float>(std::cos(static_cast<double>(angle)))) << d;
    EXPECT_EQ(sin_table[d], static_cast<float>(std::sin(static_cast<double>(angle)))) << d;
    EXPECT_NEAR(sin_table[d], std::sin(d * M_PI / 180.0), 1e-6) << d;
  }
  EXPECT_EQ(TrigIndex(0), 0);
  EXPECT_EQ(TrigIndex(360), 360);
  EXPECT_EQ(TrigIndex(-90), 270);
  EXPECT_EQ(TrigIndex(-1), 359);
  EXPECT_EQ(TrigIndex(-360), 0);
  // Beyond a turn either way the angle is reduced first instead of reading past the table.
  EXPECT_EQ(TrigIndex(450), 90);
  EXPECT_EQ(TrigIndex(-450), 270);
  EXPECT_EQ(TrigIndex(720), 0);
  EXPECT_EQ(TrigIndex(INT32_MIN), TrigIndex(INT32_MIN % 360));
  EXPECT_EQ(Cosine(0.0f), 1.0f);
  EXPECT_FLOAT_EQ(Sine(1.5707964f), 1.0f);
}

TEST(MatrixTest, ProductsFollowRowVectorConvention) {
  Matrix3x2 m{};
  ASSERT_EQ(InitMatrix3x2(&m, 1, 2, 3, 4, 5, 6), 1);
  EXPECT_EQ(m.m[1][0], 3);
  EXPECT_EQ(m.m[2][1], 6);
  Point2D p{2, 10}, out{};
  ASSERT_EQ(MultiplyPoint3x2(&p, &m, &out), 1);
  EXPECT_EQ(out.x, 2 * 1 + 10 * 3 + 5);
  EXPECT_EQ(out.y, 2 * 2 + 10 * 4 + 6);
  MultiplyPoint3x2(&p, &m, &p);  // in place
  EXPECT_EQ(p.x, out.x);
  EXPECT_EQ(p.y, out.y);

  const Matrix3x3 a{{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}};
  const Matrix3x3 b{{{2, 0, 1}, {1, 3, 0}, {0, 1, 4}}};
  Matrix3x3 ab{};
  ASSERT_EQ(Multiply3x3(&a, &b, &ab), 1);
  const float expected[3][3] = {{4, 9, 13}, {13, 21, 28}, {22, 34, 47}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(ab.m[i][j], expected[i][j]) << i << j;
  Matrix3x3 c = a;
  Multiply3x3(&c, &b, &c);  // the output may alias an input
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(c.m[i][j], expected[i][j]);

  Matrix1x3 row{{1, 2, 3}}, r{};
  ASSERT_EQ(Multiply1x3By3x3(&row, &b, &r), 1);
  EXPECT_EQ(r.m[0], 4);
  EXPECT_EQ(r.m[1], 9);
  EXPECT_EQ(r.m[2], 13);
  Multiply1x3By3x3(&row, &b, &row);
  EXPECT_EQ(row.m[2], 13);

  EXPECT_EQ(InitMatrix3x2(nullptr, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(MultiplyPoint3x2(nullptr, &m, &out), 0);
  EXPECT_EQ(Multiply3x3(&a, nullptr, &ab), 0);
  EXPECT_EQ(Multiply1x3By3x3(&row, &b, nullptr), 0);
}

}  // namespace
