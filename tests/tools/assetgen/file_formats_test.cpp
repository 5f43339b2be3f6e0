// Every file the game opens exists under its exact name, in the format its loader expects,
// and opens through the game's own loaders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "display/bitmap.h"
#include "sound/sound.h"
#include "tests/tools/assetgen/asset_files.h"

namespace {

using namespace assettest;

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

TEST(AssetFiles, EveryFileExistsWithItsExactNameAndTheWholeSetStaysSmall) {
  uintmax_t total = 0;
  for (const std::string& name : ExpectedFiles()) {
    const std::string path = AssetPath(name);
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    total += std::filesystem::file_size(path);
  }
  // "jump.wav" and "jump.WAV" are two files on this file system.
  EXPECT_NE(ReadBytes(AssetPath("jump.wav")), ReadBytes(AssetPath("jump.WAV")));
  EXPECT_LT(total, 12u * 1024 * 1024);
}

TEST(AssetFiles, PicturesAreUncompressedEightBitBmpsWithUnpaddedRowsAndTheRightSizes) {
  struct Expect {
    std::vector<std::string> names;
    int width, height;
  };
  const std::vector<Expect> groups = {{HeroStrips(), 296, 76},
                                      {ThugStrips(), 296, 76},
                                      {Landscapes(), 640, 480},
                                      {FullScreenPictures(), 640, 480},
                                      {{"face0.BMP", "face1.BMP"}, 104, 102}};
  for (const Expect& g : groups)
    for (const std::string& name : g.names) {
      SCOPED_TRACE(name);
      const std::vector<uint8_t> b = ReadBytes(AssetPath(name));
      ASSERT_GE(b.size(), 1078u);
      EXPECT_EQ(b[0], 'B');
      EXPECT_EQ(b[1], 'M');
      EXPECT_EQ(U32(b, 2), b.size());
      EXPECT_EQ(U32(b, 10), 1078u);  // the loader takes the pixels to follow the palette
      EXPECT_EQ(U32(b, 14), 40u);
      EXPECT_EQ(int32_t(U32(b, 18)), g.width);
      EXPECT_EQ(int32_t(U32(b, 22)), g.height);  // positive: bottom-up rows
      EXPECT_EQ(U16(b, 28), 8);
      EXPECT_EQ(U32(b, 30), 0u);
      EXPECT_EQ(g.width % 4, 0) << "rows must need no padding";
      EXPECT_EQ(U32(b, 34), uint32_t(g.width * g.height));
      EXPECT_EQ(b.size(), 1078u + size_t(g.width) * size_t(g.height));
      const Picture p = LoadPicture(name);
      EXPECT_EQ(p.width, g.width);
      EXPECT_EQ(p.height, g.height);
      // Bottom-up storage: the file's last row is the picture's top row.
      ASSERT_EQ(p.pixels.size(), size_t(g.width) * size_t(g.height));
      EXPECT_EQ(0, std::memcmp(p.pixels.data(), b.data() + b.size() - size_t(g.width), size_t(g.width)));
    }
}

TEST(AssetFiles, OnePaletteIsSharedByEveryPictureAndByThePaletteFile) {
  const Picture title = LoadPicture("Grimstorm0.BMP");
  ASSERT_EQ(title.rgb.size(), 768u);
  std::vector<std::string> all = {"face0.BMP", "face1.BMP"};
  for (auto* list : {&HeroStrips, &ThugStrips, &Landscapes, &FullScreenPictures})
    for (const std::string& name : (*list)()) all.push_back(name);
  for (const std::string& name : all) EXPECT_EQ(LoadPicture(name).rgb, title.rgb) << name;

  // The fixed meanings: black, white text, and one white only, so text colour matching finds 255.
  auto rgb = [&](int i) { return std::vector<int>{title.rgb[i * 3], title.rgb[i * 3 + 1], title.rgb[i * 3 + 2]}; };
  EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255}));
  for (int i = 0; i < 255; ++i) EXPECT_NE(rgb(i), rgb(255)) << i;

  // "PALDATA2.PAL": a newline before every "r g b flags" entry, no final newline.
  const std::vector<uint8_t> raw = ReadBytes(AssetPath("PALDATA2.PAL"));
  const std::string text(raw.begin(), raw.end());
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.front(), '\n');
  EXPECT_NE(text.back(), '\n');
  std::istringstream in(text);
  for (int i = 0; i < 256; ++i) {
    int r = -1, g = -1, b = -1, flags = -1;
    in >> r >> g >> b >> flags;
    ASSERT_TRUE(in) << "entry " << i;
    EXPECT_EQ((std::vector<int>{r, g, b}), rgb(i)) << "entry " << i;
    EXPECT_EQ(flags, PC_NOCOLLAPSE);
  }
  std::string rest;
  EXPECT_FALSE(in >> rest);
}

TEST(AssetFiles, SoundEffectsArePcmWavesWithAnEighteenByteFormatChunkFirstAndLoadInOrder) {
  struct Expect {
    const char* name;
    uint32_t rate;
    uint16_t bits;
  };
  const Expect sounds[] = {{"hurt.WAV", 22050, 16}, {"alert.wav", 11025, 8},      {"punch.wav", 11025, 8},
                           {"jump.wav", 11025, 8},  {"LaughEvil.WAV", 22050, 16}, {"jump.WAV", 22050, 16}};
  for (const Expect& e : sounds) {
    SCOPED_TRACE(e.name);
    const std::vector<uint8_t> b = ReadBytes(AssetPath(e.name));
    ASSERT_GE(b.size(), 46u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(U32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32(b, 16), 18u);  // the loader reads 18 bytes of it
    EXPECT_EQ(U16(b, 20), 1);    // PCM
    EXPECT_EQ(U16(b, 22), 1);    // mono
    EXPECT_EQ(U32(b, 24), e.rate);
    EXPECT_EQ(U16(b, 34), e.bits);
    EXPECT_EQ(U32(b, 28), e.rate * e.bits / 8);
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 42), "data");
    const uint32_t data = U32(b, 42);
    EXPECT_GT(data, e.rate / 20);  // at least 50 ms of sound
    ASSERT_LE(46u + data, b.size());
    // Audible and unclipped: the loudest sample well above silence and below full scale.
    double peak = 0;
    const size_t count = data / (e.bits / 8);
    for (size_t i = 0; i < count; ++i) {
      double v = e.bits == 8 ? (b[46 + i] - 128) / 128.0 : int16_t(U16(b, 46 + 2 * i)) / 32768.0;
      peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 0.4);
    EXPECT_LT(peak, 0.99);
  }
  // The level loads the six in this order and expects ids 0 to 5.
  ASSERT_EQ(SoundInit(), 1);
  for (int i = 0; i < 6; ++i) {
    const std::string path = AssetPath(sounds[i].name);
    EXPECT_EQ(LoadWavSound(path.c_str(), DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME), i) << path;
    EXPECT_EQ(sound_table[i].rate, sounds[i].rate);
    EXPECT_EQ(GetSoundStatus(i), SOUND_LOADED);
  }
  SoundShutdown();
}

}  // namespace
