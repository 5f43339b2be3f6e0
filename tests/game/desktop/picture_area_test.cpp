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

namespace {

TEST(PictureAreaTest, FitFillsTheTighterSideOfAnyScreen) {
  using platform::Scaling;
  const platform::ShownArea laptop = platform::PictureArea(1366, 768, 640, 480, Scaling::Fit);
  EXPECT_EQ(laptop.height, 768);
  EXPECT_EQ(laptop.width, 1024);
  EXPECT_EQ(laptop.x, 171);
  EXPECT_EQ(laptop.y, 0);
  const platform::ShownArea full_hd = platform::PictureArea(1920, 1080, 640, 480, Scaling::Fit);
  EXPECT_EQ(full_hd.width, 1440);
  EXPECT_EQ(full_hd.height, 1080);
  EXPECT_EQ(full_hd.x, 240);
  const platform::ShownArea tall = platform::PictureArea(960, 1280, 640, 480, Scaling::Fit);  // portrait
  EXPECT_EQ(tall.width, 960);
  EXPECT_EQ(tall.height, 720);
  EXPECT_EQ(tall.y, 280);
  const platform::ShownArea window = platform::PictureArea(960, 720, 640, 480, Scaling::Fit);
  EXPECT_EQ(window.width, 960) << "a 960x720 window shows 1.5x, not 1x";
  // Integer keeps today's whole factors on the same screens.
  EXPECT_EQ(platform::PictureArea(1366, 768, 640, 480, Scaling::Integer).width, 640);
  EXPECT_EQ(platform::PictureArea(960, 720, 640, 480, Scaling::Integer).width, 640);
}

TEST(PictureAreaTest, StretchCoversTheWholeOutput) {
  const platform::ShownArea area = platform::PictureArea(1366, 768, 640, 480, platform::Scaling::Stretch);
  EXPECT_EQ(area.x, 0);
  EXPECT_EQ(area.y, 0);
  EXPECT_EQ(area.width, 1366);
  EXPECT_EQ(area.height, 768);
  EXPECT_EQ(platform::PictureArea(0, 0, 640, 480, platform::Scaling::Stretch).width, 640) << "minimised";
}

TEST(PictureAreaTest, TheSharpStepIsTheLargestWholeFactorInsideTheArea) {
  EXPECT_EQ(platform::SharpPrescale({0, 0, 1024, 768}, 640, 480), 1);
  EXPECT_EQ(platform::SharpPrescale({0, 0, 1440, 1080}, 640, 480), 2);
  EXPECT_EQ(platform::SharpPrescale({0, 0, 1280, 960}, 640, 480), 2);
  EXPECT_EQ(platform::SharpPrescale({0, 0, 2560, 1080}, 640, 480), 2) << "stretched: the shorter side decides";
  EXPECT_EQ(platform::SharpPrescale({0, 0, 320, 240}, 640, 480), 1) << "smaller than the picture";
  EXPECT_EQ(platform::SharpPrescale({0, 0, 100, 100}, 0, 0), 1);
}

TEST(PictureAreaTest, ScalingNamesReadBack) {
  for (platform::Scaling scaling : {platform::Scaling::Fit, platform::Scaling::Integer, platform::Scaling::Stretch}) {
    platform::Scaling read = platform::Scaling::Fit;
    ASSERT_TRUE(platform::ScalingNamed(platform::ScalingName(scaling), &read));
    EXPECT_EQ(read, scaling);
  }
  platform::Scaling untouched = platform::Scaling::Stretch;
  EXPECT_FALSE(platform::ScalingNamed("Fit", &untouched));
  EXPECT_FALSE(platform::ScalingNamed("", &untouched));
  EXPECT_EQ(untouched, platform::Scaling::Stretch);
}

TEST(WindowPlaceTest, ATooLargeWindowShrinksWithItsShapeAndStaysOnTheDesktop) {
  // 1366x768 with a 24-pixel panel at the top; a frame of 4 with a 20-pixel title bar.
  const platform::ShownArea usable{0, 24, 1366, 744};
  const platform::WindowFrame frame{4, 20, 4, 4};
  const platform::ShownArea place = platform::PlaceWindow(usable, frame, 1280, 960);
  EXPECT_EQ(place.height, 744 - 24);
  EXPECT_EQ(place.width, 960);
  EXPECT_GE(place.y - frame.top, usable.y) << "the title bar is on the desktop";
  EXPECT_LE(place.y + place.height + frame.bottom, usable.y + usable.height);
  EXPECT_GE(place.x - frame.left, usable.x);
  EXPECT_LE(place.x + place.width + frame.right, usable.x + usable.width);
  EXPECT_EQ(place.x - frame.left - usable.x, usable.x + usable.width - (place.x + place.width + frame.right))
      << "centred";
}

TEST(WindowPlaceTest, AWindowThatFitsKeepsItsSizeAndIsCentredOnItsScreen) {
  const platform::ShownArea second_screen{1920, 0, 1920, 1080};
  const platform::ShownArea place = platform::PlaceWindow(second_screen, {}, 1280, 960);
  EXPECT_EQ(place.width, 1280);
  EXPECT_EQ(place.height, 960);
  EXPECT_EQ(place.x, 1920 + 320);
  EXPECT_EQ(place.y, 60);
  const platform::ShownArea nothing = platform::PlaceWindow({0, 0, 10, 10}, {20, 20, 20, 20}, 0, -5);
  EXPECT_GE(nothing.width, 1);
  EXPECT_GE(nothing.height, 1);
}

}  // namespace
