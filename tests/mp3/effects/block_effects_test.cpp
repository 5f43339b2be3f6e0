#include "mp3/effects/block_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "mp3/effects/fade.h"

namespace {
std::vector<int16_t> Stereo(std::initializer_list<int16_t> samples) { return samples; }
char* Bytes(std::vector<int16_t>& v) { return reinterpret_cast<char*>(v.data()); }
uint32_t Size(const std::vector<int16_t>& v) { return static_cast<uint32_t>(v.size() * 2); }
}  // namespace

TEST(LoudnessCurve, MatchesTheDefinedPoints) {
  EXPECT_DOUBLE_EQ(LoudnessFactor(100), 1.0);
  EXPECT_DOUBLE_EQ(LoudnessFactor(0), 0.0);
  EXPECT_NEAR(LoudnessFactor(50), 0.21623, 1e-5);
  EXPECT_NEAR(LoudnessFactor(99), 0.8772, 1e-4);
  EXPECT_DOUBLE_EQ(LoudnessFactor(150), 1.0);
}

TEST(BlockEffects, VolumeTruncatesTowardZeroPerChannelAndMonoUsesLeft) {
  auto block = Stereo({1000, 1000, -1001, -1001});
  ApplyPlayerVolume(Bytes(block), Size(block), 2, 0.5, 0.25);
  EXPECT_EQ(block, Stereo({500, 250, -500, -250}));
  auto mono = Stereo({100, -100, 7});
  ApplyPlayerVolume(Bytes(mono), Size(mono), 1, 0.5, 0.0);
  EXPECT_EQ(mono, Stereo({50, -50, 3}));
}

TEST(BlockEffects, VocalCutSubtractsAndSaturatesInsteadOfWrapping) {
  auto block = Stereo({1000, 400, 30000, -30000, -32768, 32767});
  VocalCutBlock(Bytes(block), Size(block), 2);
  EXPECT_EQ(block, Stereo({600, -600, 32767, -32768, -32768, 32767}));
  auto mono = Stereo({1000, 400});
  VocalCutBlock(Bytes(mono), Size(mono), 1);
  EXPECT_EQ(mono, Stereo({1000, 400})) << "stereo only";
}

TEST(BlockEffects, ReverseKeepsStereoPairsTogether) {
  auto block = Stereo({1, 2, 3, 4, 5, 6});
  ReverseBlock(Bytes(block), Size(block), 2);
  EXPECT_EQ(block, Stereo({5, 6, 3, 4, 1, 2}));
  auto mono = Stereo({1, 2, 3, 4});
  ReverseBlock(Bytes(mono), Size(mono), 1);
  EXPECT_EQ(mono, Stereo({4, 3, 2, 1}));
  ReverseBlock(Bytes(block), 0, 2);  // empty block: nothing happens
}

TEST(BlockEffects, MixChannelsAveragesSubbandsOfStereoFramesOnly) {
  mad_frame frame{};
  mad_frame_init(&frame);
  frame.header.mode = MAD_MODE_STEREO;
  frame.header.layer = MAD_LAYER_I;
  frame.sbsample[0][0][0] = 0x10000000;  // 1.0 left
  frame.sbsample[1][0][0] = 0;
  frame.sbsample[0][12][0] = 0x10000000;  // beyond layer I's 12 slots: untouched
  int32_t half = MixFactorFromPercent(50);
  EXPECT_EQ(half, 0x08000000);
  MixChannelsFrame(&frame, half, half);
  EXPECT_EQ(frame.sbsample[0][0][0], frame.sbsample[1][0][0]);
  EXPECT_NEAR(frame.sbsample[0][0][0] / double(0x10000000), 0.5, 1e-3);
  EXPECT_EQ(frame.sbsample[0][12][0], 0x10000000);
  frame.header.mode = MAD_MODE_SINGLE_CHANNEL;
  frame.sbsample[0][1][0] = 0x10000000;
  MixChannelsFrame(&frame, half, half);
  EXPECT_EQ(frame.sbsample[0][1][0], 0x10000000);
  mad_frame_finish(&frame);
}

// Percentages are not clamped: from 800 % up the factor stays at its largest value (8.0), and
// mixed samples stop at the ends of the 32-bit range instead of wrapping.
TEST(BlockEffects, MixChannelsSaturatesAtLargePercentages) {
  EXPECT_EQ(MixFactorFromPercent(0), 0);
  EXPECT_EQ(MixFactorFromPercent(100), 0x10000000);
  EXPECT_EQ(MixFactorFromPercent(799), 2144799293);
  for (unsigned int percent : {800u, 1000u, UINT_MAX}) EXPECT_EQ(MixFactorFromPercent(percent), INT32_MAX) << percent;

  constexpr double kOne = 0x10000000;
  // 0.5 + 0.25, 1 + 1, -1 + -1, and the largest samples the type holds.
  const mad_fixed_t left[4] = {0x08000000, 0x10000000, -0x10000000, INT32_MAX};
  const mad_fixed_t right[4] = {0x04000000, 0x10000000, -0x10000000, INT32_MAX};
  for (unsigned int percent : {0u, 100u, 799u, 800u, 1000u, UINT_MAX}) {
    SCOPED_TRACE(percent);
    const double gain = std::min(percent, 800u) / 100.0;
    mad_frame frame{};
    mad_frame_init(&frame);
    frame.header.mode = MAD_MODE_JOINT_STEREO;
    frame.header.layer = MAD_LAYER_II;
    for (int sb = 0; sb < 4; ++sb) {
      frame.sbsample[0][35][sb] = left[sb];  // the last of Layer II's 36 slots
      frame.sbsample[1][35][sb] = right[sb];
    }
    const int32_t factor = MixFactorFromPercent(percent);
    MixChannelsFrame(&frame, factor, factor);
    for (int sb = 0; sb < 4; ++sb) {
      const mad_fixed_t got = frame.sbsample[0][35][sb];
      EXPECT_EQ(frame.sbsample[1][35][sb], got) << sb;
      const double want = (static_cast<double>(left[sb]) + right[sb]) * gain;
      if (want >= INT32_MAX)
        EXPECT_EQ(got, INT32_MAX) << sb;
      else if (want <= INT32_MIN)
        EXPECT_EQ(got, INT32_MIN) << sb;
      else
        EXPECT_NEAR(got / kOne, want / kOne, 1e-3) << sb;
    }
    mad_frame_finish(&frame);
  }
}

TEST(BlockEffects, VuIsFullForASquareWaveAndZeroForSilence) {
  std::vector<int16_t> square(4096);
  for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 64) % 2 ? 32767 : -32767;
  uint32_t left = 7, right = 7;
  VuFromBlock(Bytes(square), Size(square), 0, 2, &left, &right);
  EXPECT_EQ(left, 100u);
  EXPECT_EQ(right, 100u);
  std::vector<int16_t> silence(4096, 0);
  VuFromBlock(Bytes(silence), Size(silence), Size(silence) - 2, 2, &left, &right);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(right, 0u);
  EXPECT_EQ(VuLevel(21.0), 0u);
  EXPECT_EQ(VuLevel(2316.9), 67u);  // 33 * log10(0.1) + 100
}

TEST(BlockEffects, TimeRecordsConvertToMilliseconds) {
  MP3_TIME t{};
  t.ms = 1500;
  t.sec = 3;
  t.hms_hour = 1;
  t.hms_minute = 2;
  t.hms_second = 3;
  t.hms_millisecond = 4;
  EXPECT_EQ(TimeToMs(TIME_FORMAT_MS, &t), 1500u);
  EXPECT_EQ(TimeToMs(TIME_FORMAT_SEC, &t), 3000u);
  EXPECT_EQ(TimeToMs(TIME_FORMAT_HMS, &t), 3723004u);
  EXPECT_EQ(TimeToMs(TIME_FORMAT_BYTES, &t), 0u);
  EXPECT_EQ(TimeToMs(TIME_FORMAT_MS, nullptr), 0u);
}

TEST(Fade, PlayerVolumeFactorsAndClamping) {
  FadeControl fade;
  fade.SetPlayerVolume(50, 150);
  int left = 0, right = 0;
  fade.GetPlayerVolume(&left, &right);
  EXPECT_EQ(left, 50);
  EXPECT_EQ(right, 100);
  EXPECT_NEAR(fade.TotalLeft(), 0.21623, 1e-5);
  EXPECT_DOUBLE_EQ(fade.TotalRight(), 1.0);
  EXPECT_TRUE(fade.Scaling());
}

TEST(Fade, FadeInFromSilenceRunsItsFramesAndNotifiesOnce) {
  FadeControl fade;
  std::vector<uint32_t> events;
  auto notify = [&](uint32_t e) {
    events.push_back(e);
    return 0;
  };
  fade.Start(kFadeIn, 38, true);  // 1000 ms at 44100 Hz, 1152 samples per frame
  EXPECT_DOUBLE_EQ(fade.Level(), 0.0);
  int frames = 0;
  while (fade.Active() && frames < 100) {
    fade.Step(notify);
    ++frames;
    if (frames == 19) {
      EXPECT_NEAR(fade.Level(), 19 * 100.0 / 38, 1e-9);
    }
  }
  EXPECT_EQ(frames, 38);
  EXPECT_DOUBLE_EQ(fade.TotalLeft(), 1.0);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], MP3_EVENT_FADE_IN_START);
  EXPECT_EQ(events[1], MP3_EVENT_FADE_IN_END);
}

TEST(Fade, ZeroLengthFadeOutSilencesAtOnceAndASyncAnswerEndsAFade) {
  FadeControl fade;
  fade.Start(kFadeOut, 0, false);
  EXPECT_FALSE(fade.Active());
  EXPECT_DOUBLE_EQ(fade.TotalLeft(), 0.0);

  fade.Reset();
  std::vector<uint32_t> events;
  fade.Start(kFadeOut, 10, false);
  fade.Step([&](uint32_t e) {
    events.push_back(e);
    return e == MP3_EVENT_FADE_OUT_START ? 1 : 0;
  });
  EXPECT_FALSE(fade.Active());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], MP3_EVENT_FADE_OUT_END);
  EXPECT_DOUBLE_EQ(fade.Level(), 100.0) << "ended before the level moved";
}

TEST(Fade, AFadeOutInterruptingAFadeInEndsItFirst) {
  FadeControl fade;
  std::vector<uint32_t> events;
  auto notify = [&](uint32_t e) {
    events.push_back(e);
    return 0;
  };
  fade.Start(kFadeIn, 10, true);
  fade.Step(notify);
  fade.Step(notify);
  fade.Start(kFadeOut, 4, false);
  while (fade.Active()) fade.Step(notify);
  std::vector<uint32_t> expected = {MP3_EVENT_FADE_IN_START, MP3_EVENT_FADE_IN_END, MP3_EVENT_FADE_OUT_START,
                                    MP3_EVENT_FADE_OUT_END};
  EXPECT_EQ(events, expected);
  EXPECT_DOUBLE_EQ(fade.TotalLeft(), 0.0);
}
