#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "display/bitmap.h"
#include "tests/display/bitmap/bitmap_record.h"
#include "tests/display/bitmap/bmp_builder.h"

namespace {

// A loaded bitmap whose pixel (x, y) has the value PatternPixels gives it.
void LoadPattern(LoadedBitmap* loaded, int32_t width, int32_t height, int bits = 8) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.bits = bits;
  spec.pixels = PatternPixels(width, height, bits / 8);
  const std::vector<uint8_t> file = BuildBmp(spec);
  ASSERT_EQ(LoadBitmapMemory(&loaded->record, file.data(), file.size()), 1);
}

uint8_t PatternAt(int64_t x, int64_t y) { return static_cast<uint8_t>(x * 7 + y * 13); }

std::vector<uint8_t> Row(const BitmapImage& image, int32_t row) {
  const int32_t bytes = image.width * (image.bits_per_pixel >> 3);
  return std::vector<uint8_t>(image.pixels + row * bytes, image.pixels + (row + 1) * bytes);
}

}  // namespace

TEST(BitmapImage, CreateAndDestroyManageTheRecord) {
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 3, 4, 10, 5, 16), 1);
  EXPECT_EQ(image.record.active, 1);
  EXPECT_EQ(image.record.attributes, 0);
  EXPECT_EQ(image.record.x, 3);
  EXPECT_EQ(image.record.y, 4);
  EXPECT_EQ(image.record.byte_count, 100);
  EXPECT_EQ(std::vector<uint8_t>(image.record.pixels, image.record.pixels + 100), std::vector<uint8_t>(100, 0));
  EXPECT_EQ(DrawBitmapImage16(&image.record, std::vector<uint8_t>(1000).data(), 40, 0), 0) << "blank, not drawable";
  EXPECT_EQ(DestroyBitmapImage(&image.record), 1);
  const BitmapImage zero{};
  EXPECT_EQ(std::memcmp(&image.record, &zero, sizeof(zero)), 0);
  EXPECT_EQ(DestroyBitmapImage(&image.record), 0) << "nothing left to free";
  EXPECT_EQ(DestroyBitmapImage(nullptr), 0);
  for (const auto& [w, h, bpp] :
       std::vector<std::array<int, 3>>{{0, 5, 8}, {5, -1, 8}, {5, 5, 4}, {5, 5, 12}, {65536, 65536, 8}})
    EXPECT_EQ(CreateBitmapImage(&image.record, 0, 0, w, h, bpp), 0) << w << " x " << h << " x " << bpp;
  EXPECT_EQ(CreateBitmapImage(nullptr, 0, 0, 1, 1, 8), 0);
}

TEST(BitmapImage, LoadCopiesTheCellOrPixelRectangleOutOfTheBitmap) {
  LoadedBitmap bitmap;
  LoadPattern(&bitmap, 300, 110);
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 0, 0, 100, 100, 8), 1);
  // Cell (1, 0) of 100 x 100 cells starts at pixel (102, 1).
  ASSERT_EQ(LoadBitmapImage(&image.record, &bitmap.record, 1, 0, 0), 1);
  EXPECT_TRUE(image.record.attributes & BITMAP_IMAGE_LOADED);
  for (int32_t y : {0, 57, 99})
    for (int32_t x : {0, 31, 99}) EXPECT_EQ(image.record.pixels[y * 100 + x], PatternAt(102 + x, 1 + y));
  ASSERT_EQ(LoadBitmapImage(&image.record, &bitmap.record, 200, 10, 1), 1) << "the bottom-right corner fits";
  EXPECT_EQ(image.record.pixels[99 * 100 + 99], PatternAt(299, 109));

  // Rectangles reaching outside the bitmap, and mismatched depths, are refused untouched.
  const std::vector<uint8_t> before(image.record.pixels, image.record.pixels + 10000);
  for (const auto& [cx, cy, mode] : std::vector<std::array<int32_t, 3>>{{2, 0, 0},
                                                                        {0, 1, 0},
                                                                        {201, 0, 1},
                                                                        {0, 11, 1},
                                                                        {-1, 0, 1},
                                                                        {0, -1, 1},
                                                                        {INT32_MAX, 0, 0},
                                                                        {INT32_MIN, INT32_MIN, 0}})
    EXPECT_EQ(LoadBitmapImage(&image.record, &bitmap.record, cx, cy, mode), 0) << cx << ", " << cy;
  EXPECT_EQ(LoadBitmapImage16(&image.record, &bitmap.record, 0, 0, 1), 0);
  EXPECT_EQ(LoadBitmapImage(nullptr, &bitmap.record, 0, 0, 1), 0);
  EXPECT_EQ(LoadBitmapImage(&image.record, nullptr, 0, 0, 1), 0);
  EXPECT_EQ(std::vector<uint8_t>(image.record.pixels, image.record.pixels + 10000), before);

  UnloadBitmapFile(&bitmap.record);
  EXPECT_EQ(LoadBitmapImage(&image.record, &bitmap.record, 0, 0, 1), 0) << "an unloaded bitmap";
}

TEST(BitmapImage, SixteenBitLoadCopiesWords) {
  LoadedBitmap bitmap;
  LoadPattern(&bitmap, 7, 4, 16);
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 0, 0, 3, 2, 16), 1);
  ASSERT_EQ(LoadBitmapImage16(&image.record, &bitmap.record, 4, 1, 1), 1);
  const std::vector<uint8_t> pattern = PatternPixels(7, 4, 2);
  for (int32_t y = 0; y < 2; ++y)
    EXPECT_EQ(Row(image.record, y),
              std::vector<uint8_t>(pattern.begin() + ((1 + y) * 7 + 4) * 2, pattern.begin() + ((1 + y) * 7 + 7) * 2));
  EXPECT_EQ(LoadBitmapImage(&image.record, &bitmap.record, 0, 0, 1), 0);
}

TEST(BitmapImage, DrawCopiesRowsAndTransparentDrawSkipsZeroPixels) {
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 2, 1, 3, 2, 8), 1);
  const uint8_t pixels[] = {5, 0, 6, 0, 7, 8};
  std::memcpy(image.record.pixels, pixels, 6);
  const int32_t pitch = 8;
  std::vector<uint8_t> dest(pitch * 4, 0xCC);
  EXPECT_EQ(DrawBitmapImage(&image.record, dest.data(), pitch, 0), 0) << "never loaded";
  image.record.attributes |= BITMAP_IMAGE_LOADED;

  ASSERT_EQ(DrawBitmapImage(&image.record, dest.data(), pitch, 1), 1);
  std::vector<uint8_t> expected(pitch * 4, 0xCC);
  expected[1 * pitch + 2] = 5, expected[1 * pitch + 4] = 6, expected[2 * pitch + 3] = 7, expected[2 * pitch + 4] = 8;
  EXPECT_EQ(dest, expected);
  ASSERT_EQ(DrawBitmapImage(&image.record, dest.data(), pitch, 0), 1);
  expected[1 * pitch + 3] = 0, expected[2 * pitch + 2] = 0;
  EXPECT_EQ(dest, expected);

  image.record.x = 6;  // rows would run past the pitch
  EXPECT_EQ(DrawBitmapImage(&image.record, dest.data(), pitch, 0), 0);
  image.record.x = -1;
  EXPECT_EQ(DrawBitmapImage(&image.record, dest.data(), pitch, 0), 0);
  image.record.x = 0;
  EXPECT_EQ(DrawBitmapImage(&image.record, nullptr, pitch, 0), 0);
  EXPECT_EQ(DrawBitmapImage16(&image.record, dest.data(), pitch, 0), 0) << "wrong depth";
  EXPECT_EQ(dest, expected);
}

TEST(BitmapImage, SixteenBitDrawRoundsAnOddPitchDown) {
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 1, 1, 2, 2, 16), 1);
  const uint16_t words[] = {0x1111, 0, 0x3333, 0x4444};
  std::memcpy(image.record.pixels, words, sizeof(words));
  image.record.attributes |= BITMAP_IMAGE_LOADED;
  std::vector<uint16_t> dest(4 * 3, 0xCCCC);
  // pitch 9 bytes counts as 8: four words per row.
  ASSERT_EQ(DrawBitmapImage16(&image.record, reinterpret_cast<uint8_t*>(dest.data()), 9, 1), 1);
  std::vector<uint16_t> expected(4 * 3, 0xCCCC);
  expected[4 + 1] = 0x1111, expected[8 + 1] = 0x3333, expected[8 + 2] = 0x4444;
  EXPECT_EQ(dest, expected);
}

TEST(BitmapImage, CopyRegionMovesRectanglesInsideBothImages) {
  OwnedImage src, dest;
  ASSERT_EQ(CreateBitmapImage(&src.record, 0, 0, 4, 3, 8), 1);
  ASSERT_EQ(CreateBitmapImage(&dest.record, 0, 0, 5, 4, 8), 1);
  for (int i = 0; i < 12; ++i) src.record.pixels[i] = static_cast<uint8_t>(i + 1);
  ASSERT_EQ(CopyBitmapImageRegion(&dest.record, 3, 2, &src.record, 1, 1, 2, 2), 1);
  EXPECT_EQ(Row(dest.record, 2), (std::vector<uint8_t>{0, 0, 0, 6, 7}));
  EXPECT_EQ(Row(dest.record, 3), (std::vector<uint8_t>{0, 0, 0, 10, 11}));

  const std::vector<uint8_t> before(dest.record.pixels, dest.record.pixels + 20);
  EXPECT_EQ(CopyBitmapImageRegion(&dest.record, 4, 2, &src.record, 1, 1, 2, 2), 0) << "past the right edge";
  EXPECT_EQ(CopyBitmapImageRegion(&dest.record, 0, 0, &src.record, 3, 0, 2, 1), 0) << "outside the source";
  EXPECT_EQ(CopyBitmapImageRegion(&dest.record, -1, 0, &src.record, 0, 0, 1, 1), 0);
  EXPECT_EQ(CopyBitmapImageRegion(nullptr, 0, 0, &src.record, 0, 0, 1, 1), 0);
  EXPECT_EQ(CopyBitmapImageRegion(&dest.record, 0, 0, nullptr, 0, 0, 1, 1), 0);
  EXPECT_EQ(std::vector<uint8_t>(dest.record.pixels, dest.record.pixels + 20), before);

  // Within one image the rectangles may overlap.
  ASSERT_EQ(CopyBitmapImageRegion(&src.record, 1, 0, &src.record, 0, 0, 3, 1), 1);
  EXPECT_EQ(Row(src.record, 0), (std::vector<uint8_t>{1, 1, 2, 3}));
}

TEST(BitmapImage, ScrollRotatesEveryRowHorizontally) {
  OwnedImage image;
  ASSERT_EQ(CreateBitmapImage(&image.record, 0, 0, 5, 2, 8), 1);
  auto fill = [&] {
    for (int i = 0; i < 5; ++i) image.record.pixels[i] = image.record.pixels[5 + i] = static_cast<uint8_t>(i + 1);
  };
  struct Case {
    int32_t dx, dy;
    int result;
    std::vector<uint8_t> row;
  };
  const Case cases[] = {{3, 0, 1, {3, 4, 5, 1, 2}}, {-1, 0, 1, {2, 3, 4, 5, 1}},       {0, 7, 1, {1, 2, 3, 4, 5}},
                        {0, 0, 0, {1, 2, 3, 4, 5}}, {8, 0, 1, {3, 4, 5, 1, 2}},        {-6, 0, 1, {2, 3, 4, 5, 1}},
                        {5, 0, 1, {1, 2, 3, 4, 5}}, {INT32_MIN, 0, 1, {4, 5, 1, 2, 3}}};
  for (const Case& c : cases) {
    fill();
    EXPECT_EQ(ScrollBitmapImage(&image.record, c.dx, c.dy), c.result) << c.dx << ", " << c.dy;
    EXPECT_EQ(Row(image.record, 0), c.row) << c.dx;
    EXPECT_EQ(Row(image.record, 1), c.row) << c.dx;
  }
  EXPECT_EQ(ScrollBitmapImage(nullptr, 1, 0), 0);

  OwnedImage words;
  ASSERT_EQ(CreateBitmapImage(&words.record, 0, 0, 3, 1, 16), 1);
  const uint16_t row[] = {1, 2, 3};
  std::memcpy(words.record.pixels, row, 6);
  ASSERT_EQ(ScrollBitmapImage(&words.record, 1, 0), 1);
  uint16_t out[3];
  std::memcpy(out, words.record.pixels, 6);
  EXPECT_EQ(std::vector<uint16_t>(out, out + 3), (std::vector<uint16_t>{3, 1, 2}));
}

TEST(BitmapImage, LoadSurfaceCellFillsTheWholeSurfaceFromItsCell) {
  LoadedBitmap bitmap;
  LoadPattern(&bitmap, 40, 20);
  platform::Surface* surface = platform::Surface::Create(6, 4, 8);
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(LoadSurfaceCell(&bitmap.record, surface, 2, 1), 1);  // pixel (15, 6)
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(surface->pixels()[y * surface->pitch() + x], PatternAt(15 + x, 6 + y));
  EXPECT_FALSE(surface->locked());
  EXPECT_EQ(LoadSurfaceCell(&bitmap.record, surface, 5, 0), 0) << "column 5 ends past the bitmap";
  EXPECT_EQ(LoadSurfaceCell(&bitmap.record, surface, 0, 4), 0);
  EXPECT_FALSE(surface->locked());
  EXPECT_EQ(LoadSurfaceCell(&bitmap.record, nullptr, 0, 0), 0);
  EXPECT_EQ(LoadSurfaceCell(nullptr, surface, 0, 0), 0);
  surface->Release();
  platform::Surface* deep = platform::Surface::Create(6, 4, 16);
  EXPECT_EQ(LoadSurfaceCell(&bitmap.record, deep, 0, 0), 0);
  deep->Release();
}
