#include "display/draw/rects_collide.h"

#include <gtest/gtest.h>

namespace {

TEST(RectsCollideTest, ShrunkBoxesOverlapStrictly) {
  // 72 x 74 shrinks to 27 x 28: a hit while dx < 54 and dy < 56.
  EXPECT_EQ(RectsCollide(100, 100, 72, 74, 100, 100, 72, 74), 1);
  EXPECT_EQ(RectsCollide(100, 100, 72, 74, 153, 100, 72, 74), 1);
  EXPECT_EQ(RectsCollide(100, 100, 72, 74, 154, 100, 72, 74), 0);
  EXPECT_EQ(RectsCollide(154, 100, 72, 74, 100, 100, 72, 74), 0);
  EXPECT_EQ(RectsCollide(100, 100, 72, 74, 100, 155, 72, 74), 1);
  EXPECT_EQ(RectsCollide(100, 100, 72, 74, 100, 156, 72, 74), 0);
  // Sizes below 2 shrink to nothing and never collide.
  EXPECT_EQ(RectsCollide(0, 0, 1, 1, 0, 0, 1, 1), 0);
  // Far-apart extreme positions do not overflow into a hit.
  EXPECT_EQ(RectsCollide(INT32_MIN, 0, 72, 74, INT32_MAX - 72, 0, 72, 74), 0);
}

}  // namespace
