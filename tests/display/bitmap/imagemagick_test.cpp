// The loader on files written by ImageMagick: short palettes, V5 info headers, padded rows of
// odd widths, and formats it must refuse.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/bitmap.h"
#include "tests/display/bitmap/bitmap_record.h"
#include "tests/display/bitmap/bmp_builder.h"

#ifdef JED_CONVERT
namespace {

constexpr int32_t kWidth = 37, kHeight = 9;

std::array<uint8_t, 3> ExpectedColor(int32_t x, int32_t y, int colors) {
  const int c = (x + 3 * y) % colors;
  return {static_cast<uint8_t>(c * 6), static_cast<uint8_t>(255 - c * 5), static_cast<uint8_t>((c * 37) & 0xFF)};
}

// Writes the test picture as a binary PPM and converts it with ImageMagick's own options.
// format is ImageMagick's output prefix ("BMP3", "BMP").
std::string Convert(const std::string& name, int colors, const std::string& options, const std::string& format) {
  const std::string ppm = testing::TempDir() + name + ".ppm";
  std::vector<uint8_t> bytes;
  const std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  bytes.insert(bytes.end(), header.begin(), header.end());
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const auto rgb = ExpectedColor(x, y, colors);
      bytes.insert(bytes.end(), rgb.begin(), rgb.end());
    }
  EXPECT_TRUE(WriteFileBytes(ppm, bytes));
  std::string bmp = testing::TempDir() + name + ".bmp";
  const std::string command = std::string(JED_CONVERT) + " " + ppm + " " + options + " " + format + ":" + bmp;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return bmp;
}

void ExpectPaletteColors(const BitmapFile& bitmap, int colors) {
  ASSERT_EQ(bitmap.info_header.biBitCount, 8);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const PALETTEENTRY& entry = bitmap.palette[bitmap.buffer[y * kWidth + x]];
      const auto rgb = ExpectedColor(x, y, colors);
      ASSERT_EQ((std::array<uint8_t, 3>{entry.red, entry.green, entry.blue}), rgb) << "pixel " << x << ", " << y;
    }
}

}  // namespace

TEST(ImageMagickFiles, EightBitPalettisedFilesLoadWithTheirColours) {
  const int colors = 40;
  // BMP3 has the 40-byte info header; plain BMP the 124-byte V5 header.
  for (const char* format : {"BMP3", "BMP"}) {
    SCOPED_TRACE(format);
    const std::string path =
        Convert(std::string("palettised_") + format, colors, "-type Palette -compress None", format);
    LoadedBitmap loaded;
    ASSERT_EQ(LoadBitmapFile(&loaded.record, path.c_str()), 1);
    EXPECT_EQ(loaded.record.info_header.biWidth, kWidth);
    EXPECT_EQ(loaded.record.info_header.biHeight, kHeight);
    ExpectPaletteColors(loaded.record, colors);
  }
}

TEST(ImageMagickFiles, TwentyFourBitFilesLoadAsFiveSixFive) {
  const int colors = 300;
  const std::string path = Convert("truecolor", colors, "-type TrueColor", "BMP3");
  const int32_t saved = pixel_format;
  pixel_format = 16;
  LoadedBitmap loaded;
  ASSERT_EQ(LoadBitmapFile(&loaded.record, path.c_str()), 1);
  pixel_format = saved;
  ASSERT_EQ(loaded.record.info_header.biBitCount, 16);
  const auto* words = reinterpret_cast<const uint16_t*>(loaded.record.buffer);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const auto rgb = ExpectedColor(x, y, colors);
      ASSERT_EQ(words[y * kWidth + x], PackRgb565(rgb[0], rgb[1], rgb[2])) << "pixel " << x << ", " << y;
    }
}

TEST(ImageMagickFiles, FormatsOutsideTheLoadersRangeAreRefused) {
  // Few colours make ImageMagick write 4 bits per pixel; 8-bit files are run-length coded unless
  // told otherwise.
  const std::vector<std::string> refused = {Convert("four_bit", 5, "-type Palette", "BMP3"),
                                            Convert("rle", 40, "-type Palette -compress RLE", "BMP3")};
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    LoadedBitmap loaded;
    EXPECT_EQ(LoadBitmapFile(&loaded.record, path.c_str()), 0);
    EXPECT_EQ(loaded.record.buffer, nullptr);
  }
}
#else
TEST(ImageMagickFiles, NeedsImageMagick) { GTEST_SKIP() << "ImageMagick's convert was not found at configure time"; }
#endif
