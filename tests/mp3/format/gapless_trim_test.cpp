// The gapless trimmer: which decoded samples are music, and positions on both timelines.
#include "mp3/format/gapless_trim.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

EncoderGap Gap(uint32_t delay, uint32_t padding, uint64_t music = 0) {
  EncoderGap gap;
  gap.known = true;
  gap.delay = delay;
  gap.padding = padding;
  gap.music_samples = music;
  return gap;
}

}  // namespace

TEST(GaplessTrim, KeepsTheEncodersInputLengthAsLameCountsIt) {
  // 100 000 samples through LAME: 576 delay, 88 frames of 1152 = 101 376, padding 800.
  const uint64_t decoded = 88 * 1152;
  const GaplessTrim trim = GaplessTrim::ForGap(Gap(576, decoded - 576 - 100000), decoded);
  EXPECT_TRUE(trim.Trims());
  EXPECT_EQ(trim.Begin(), 576u + kDecoderDelaySamples);
  EXPECT_EQ(trim.Length(), 100000u);
}

TEST(GaplessTrim, BlocksTogetherKeepExactlyTheMusicWhateverTheirSize) {
  const uint64_t decoded = 30 * 1152;
  const GaplessTrim trim = GaplessTrim::ForGap(Gap(1105, 1700), decoded);
  for (uint32_t block : {1u, 576u, 1152u, 4000u}) {
    uint64_t kept = 0;
    uint64_t first_kept = UINT64_MAX;
    for (uint64_t at = 0; at < decoded; at += block) {
      const uint32_t count = uint32_t(std::min<uint64_t>(block, decoded - at));
      const GaplessTrim::Kept k = trim.Keep(at, count);
      ASSERT_LE(uint64_t(k.skip) + k.count, count);
      if (k.count > 0 && first_kept == UINT64_MAX) first_kept = at + k.skip;
      kept += k.count;
    }
    EXPECT_EQ(kept, trim.Length()) << block;
    EXPECT_EQ(first_kept, trim.Begin()) << block;
  }
}

TEST(GaplessTrim, MapsPositionsBothWaysAndClampsAtTheEdges) {
  const GaplessTrim trim = GaplessTrim::ForGap(Gap(576, 1000), 20 * 1152);
  EXPECT_EQ(trim.ToTrimmed(0), 0u) << "the delay lies before the music's start";
  EXPECT_EQ(trim.ToTrimmed(trim.Begin() + 10), 10u);
  EXPECT_EQ(trim.ToTrimmed(trim.End() + 5000), trim.Length());
  for (uint64_t t : {0ull, 1ull, 9999ull}) EXPECT_EQ(trim.ToTrimmed(trim.ToUntrimmed(t)), t);
  EXPECT_EQ(trim.ToUntrimmed(trim.Length() + 1), trim.End());
}

TEST(GaplessTrim, ANonsensicalOrMissingGapKeepsEverything) {
  const uint64_t decoded = 10 * 1152;
  for (const EncoderGap& gap : {EncoderGap{}, Gap(4095, 8000), Gap(20000, 0), Gap(0, 20000)}) {
    const GaplessTrim trim = GaplessTrim::ForGap(gap, decoded);
    EXPECT_FALSE(trim.Trims());
    EXPECT_EQ(trim.Length(), decoded);
    const GaplessTrim::Kept k = trim.Keep(0, 1152);
    EXPECT_EQ(k.skip, 0u);
    EXPECT_EQ(k.count, 1152u);
  }
  const GaplessTrim untouched;
  EXPECT_EQ(untouched.ToTrimmed(123456), 123456u);
}

TEST(GaplessTrim, AStatedMusicLengthWinsOverThePadding) {
  const GaplessTrim trim = GaplessTrim::ForGap(Gap(576, 0, 5000), 10 * 1152);
  EXPECT_EQ(trim.Length(), 5000u);
  EXPECT_EQ(GaplessTrim::ForGap(Gap(576, 0, 999999), 10 * 1152).End(), 10u * 1152)
      << "a length past the data ends with the data";
}

TEST(GaplessTrim, PaddingShorterThanTheDecoderDelayEndsWithTheData) {
  // mpg123's rule: the end moves later by the decoder's delay, and the data ends first.
  const GaplessTrim trim = GaplessTrim::ForGap(Gap(576, 100), 10 * 1152);
  EXPECT_EQ(trim.End(), 10u * 1152);
}
