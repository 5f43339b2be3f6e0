// The game's screen pictures: a picture replaces the one before it, and a file that cannot be
// read leaves the image empty rather than showing the previous picture.
#include "game/pictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/display/bitmap/bmp_builder.h"

namespace {

std::string WritePicture(const std::string& name, uint8_t colour) {
  BmpSpec spec;
  spec.width = SCREEN_PICTURE_WIDTH;
  spec.height = SCREEN_PICTURE_HEIGHT;
  spec.pixels.assign(size_t(spec.width) * spec.height, colour);
  const std::vector<uint8_t> bytes = BuildBmp(spec);
  std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

TEST(ScreenPictures, ALaterPictureReplacesTheFirstAndAFailedOneLeavesNothing) {
  BitmapImage image{};
  ASSERT_TRUE(LoadScreenPicture(&image, WritePicture("victory_test.bmp", 7).c_str()));
  ASSERT_NE(image.pixels, nullptr);
  EXPECT_EQ(image.pixels[0], 7);
  ASSERT_TRUE(LoadScreenPicture(&image, WritePicture("gameover_test.bmp", 9).c_str()));
  EXPECT_EQ(image.pixels[SCREEN_PICTURE_WIDTH * SCREEN_PICTURE_HEIGHT - 1], 9);
  EXPECT_FALSE(LoadScreenPicture(&image, (testing::TempDir() + "missing_picture.bmp").c_str()));
  EXPECT_EQ(image.pixels, nullptr) << "the previous picture must not show in its place";
  DestroyBitmapImage(&image);
}

}  // namespace
