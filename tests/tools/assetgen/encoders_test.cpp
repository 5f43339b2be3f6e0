// The generator's own building blocks, where a fault would not show in one set of files:
// padded BMP rows, tag sizes and truncation, and loop wrapping in the mixer.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "display/bitmap.h"
#include "tools/assetgen/bmp_writer.h"
#include "tools/assetgen/id3_tags.h"
#include "tools/assetgen/synth.h"
#include "tools/assetgen/wav_writer.h"

namespace {

using namespace assetgen;

TEST(Encoders, BmpRowsOfAnyWidthArePaddedAndReadBackBottomUp) {
  for (int width : {3, 4, 5, 7}) {
    IndexedImage img(width, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) img.Set(x, y, uint8_t(10 * y + x + 1));
    const Bytes b = EncodeBmp8(img, SharedPalette());
    const size_t row = (size_t(width) + 3) / 4 * 4;
    ASSERT_EQ(b.size(), 1078 + row * 3) << width;
    // The file's first pixel row is the picture's bottom row, and pad bytes are zero.
    EXPECT_EQ(b[1078], 21);
    for (size_t pad = size_t(width); pad < row; ++pad) EXPECT_EQ(b[1078 + pad], 0);
    if (width % 4 == 0) {  // the game's loader takes unpadded files only
      BitmapFile file{};
      ASSERT_EQ(LoadBitmapMemory(&file, b.data(), b.size()), 1);
      EXPECT_EQ(file.buffer[0], 1);
      EXPECT_EQ(file.buffer[size_t(2 * width + width - 1)], uint8_t(20 + width));
      UnloadBitmapFile(&file);
    }
  }
}

TEST(Encoders, Id3TagsCarrySyncSafeSizesAndFixedWidthFields) {
  const TrackTags tags{std::string(40, 'x'), "Jed Grimstorm", "An album name longer than thirty chars", "2026", "7"};
  const Bytes v2 = EncodeId3v23(tags);
  ASSERT_GE(v2.size(), 10u);
  for (int i = 6; i < 10; ++i) EXPECT_LT(v2[size_t(i)], 0x80);
  const size_t size = size_t(v2[6]) << 21 | size_t(v2[7]) << 14 | size_t(v2[8]) << 7 | v2[9];
  EXPECT_EQ(size + 10, v2.size());
  EXPECT_GT(size, 128u) << "a size above 127 must spread over the 7-bit bytes";
  const Bytes v1 = EncodeId3v1(tags);
  ASSERT_EQ(v1.size(), 128u);
  EXPECT_EQ(std::string(v1.begin() + 3, v1.begin() + 33), std::string(30, 'x'));  // truncated title
  EXPECT_EQ(v1[125], 0);
  EXPECT_EQ(v1[126], 7);
}

TEST(Encoders, WavSamplesAreClippedAndScaledToTheirDepth) {
  const Bytes eight = EncodeWav({-2.0f, 0.0f, 1.0f}, 11025, WavDepth::kUnsigned8);
  ASSERT_EQ(eight.size(), 46u + 3 + 1);  // odd data is padded to a word
  EXPECT_EQ(eight[46], 1);
  EXPECT_EQ(eight[47], 128);
  EXPECT_EQ(eight[48], 255);
  const Bytes sixteen = EncodeWav({-1.0f, 0.5f}, 22050, WavDepth::kSigned16);
  ASSERT_EQ(sixteen.size(), 46u + 4);
  EXPECT_EQ(int16_t(sixteen[46] | sixteen[47] << 8), -32767);
  EXPECT_EQ(int16_t(sixteen[48] | sixteen[49] << 8), 16384);
}

TEST(Encoders, AWrappingMixCarriesNoteTailsAndEchoesRoundToTheStart) {
  StereoMix loop(8000, 1.0, true), once(8000, 1.0, false);
  Voice v;
  v.wave = Wave::kSine;
  for (StereoMix* m : {&loop, &once}) m->Note(v, 0.9, 0.3, 440, 1.0, 0);
  auto energy = [](const StereoMix& m, size_t from, size_t to) {
    double e = 0;
    for (size_t i = from; i < to; ++i) e += m.left()[i] * m.left()[i];
    return e;
  };
  EXPECT_GT(energy(loop, 0, 800), 1.0) << "the note's second half sounds at the start of the loop";
  EXPECT_EQ(energy(once, 0, 800), 0.0);
  StereoMix echo(8000, 1.0, true);
  echo.Add(7990, 1.0, 1.0);
  echo.Echo(0.25, 0.3, 0.5);
  EXPECT_NE(echo.left()[(7990 + 2000) % 8000], 0.0f);
}

}  // namespace
