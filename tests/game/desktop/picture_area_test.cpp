// Where the 640 x 480 picture goes in a window or screen of any size.
#include <gtest/gtest.h>

#include "platform/desktop.h"

namespace {

TEST(PictureAreaTest, LargestWholeScaleCentred) {
  const platform::ShownArea twice = platform::PictureArea(1280, 960, 640, 480);
  EXPECT_EQ(twice.x, 0);
  EXPECT_EQ(twice.width, 1280);
  const platform::ShownArea wide = platform::PictureArea(1920, 1080, 640, 480);  // 2x, bars all round
  EXPECT_EQ(wide.width, 1280);
  EXPECT_EQ(wide.height, 960);
  EXPECT_EQ(wide.x, 320);
  EXPECT_EQ(wide.y, 60);
  const platform::ShownArea odd = platform::PictureArea(1000, 700, 640, 480);  // 1x: no fraction above 1
  EXPECT_EQ(odd.width, 640);
  EXPECT_EQ(odd.x, 180);
  EXPECT_EQ(odd.y, 110);
}

TEST(PictureAreaTest, SmallerWindowGetsTheLargestFittingFraction) {
  const platform::ShownArea half = platform::PictureArea(320, 400, 640, 480);  // the width decides
  EXPECT_EQ(half.width, 320);
  EXPECT_EQ(half.height, 240);
  EXPECT_EQ(half.y, 80);
  const platform::ShownArea low = platform::PictureArea(800, 300, 640, 480);  // the height decides
  EXPECT_EQ(low.height, 300);
  EXPECT_EQ(low.width, 400);
  EXPECT_EQ(low.x, 200);
  const platform::ShownArea tiny = platform::PictureArea(1, 1, 640, 480);
  EXPECT_GE(tiny.width, 1);
  EXPECT_GE(tiny.height, 1);
  const platform::ShownArea none = platform::PictureArea(0, 0, 640, 480);  // minimised: nothing breaks
  EXPECT_EQ(none.width, 640);
}

}  // namespace
