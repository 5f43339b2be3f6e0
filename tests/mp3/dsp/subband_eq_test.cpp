#include "mp3/dsp/subband_eq.h"

#include <gtest/gtest.h>
#include <mad.h>

#include <cmath>
#include <random>

namespace {

mad_frame MakeFrame(mad_layer layer, mad_mode mode, unsigned seed) {
  mad_frame f{};
  mad_frame_init(&f);
  f.header.layer = layer;
  f.header.mode = mode;
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int32_t> dist(-0x10000000, 0x10000000);
  for (auto& ch : f.sbsample)
    for (auto& slot : ch)
      for (auto& s : slot) s = dist(gen);
  return f;
}

TEST(SubbandEq, UnitGainsLeaveSamplesApartFromTheShiftRounding) {
  dsp::SubbandEqualizer eq;
  mad_frame f = MakeFrame(MAD_LAYER_III, MAD_MODE_STEREO, 1);
  const mad_frame before = f;
  dsp::ApplySubbandGains(eq, &f);
  for (int ch = 0; ch < 2; ++ch)
    for (int s = 0; s < 36; ++s)
      for (int sb = 0; sb < 32; ++sb) {
        // Factor 1.0 becomes 4096 after its shift; the sample keeps 20 bits: error below 2^11.
        EXPECT_LE(std::abs(f.sbsample[ch][s][sb] - before.sbsample[ch][s][sb]), 2048);
        EXPECT_EQ(f.sbsample[ch][s][sb] % 4096, 0);
      }
  mad_frame_finish(&f);
}

TEST(SubbandEq, OnlyTheFramesChannelsAndSlotsAreTouched) {
  dsp::SubbandEqualizer eq;
  int gains[10] = {0, 0, 0, 0, 0, 0, 6, 0, 0, 0};
  dsp::SubbandSetParam(&eq, 0, gains);
  mad_frame f = MakeFrame(MAD_LAYER_I, MAD_MODE_SINGLE_CHANNEL, 2);
  const mad_frame before = f;
  dsp::ApplySubbandGains(eq, &f);
  for (int s = 0; s < 36; ++s)
    for (int sb = 0; sb < 32; ++sb) {
      EXPECT_EQ(f.sbsample[1][s][sb], before.sbsample[1][s][sb]);  // mono: channel 0 only
      if (s >= 12) {
        EXPECT_EQ(f.sbsample[0][s][sb], before.sbsample[0][s][sb]);  // Layer I: 12 slots
      }
    }
  // Gain 6 covers subbands 8-13: about x2 there, unchanged elsewhere.
  for (int sb = 0; sb < 32; ++sb) {
    const double ratio = static_cast<double>(f.sbsample[0][3][sb]) / before.sbsample[0][3][sb];
    EXPECT_NEAR(ratio, (sb >= 8 && sb <= 13) ? 1.995 : 1.0, 0.01) << sb;
  }
  mad_header lsf{};
  lsf.layer = MAD_LAYER_III;
  lsf.flags = MAD_FLAG_LSF_EXT;
  EXPECT_EQ(dsp::SubbandSlotCount(lsf), 18);
  lsf.layer = MAD_LAYER_II;
  EXPECT_EQ(dsp::SubbandSlotCount(lsf), 36);
  mad_frame_finish(&f);
}

TEST(SubbandEq, TopFactorIsClampedAndStillAGain) {
  dsp::SubbandEqualizer eq;
  int gains[10] = {20, 20, 20, 20, 20, 20, 20, 20, 20, 20};
  dsp::SubbandSetParam(&eq, 10, gains);
  for (auto& f : eq.table) EXPECT_EQ(f.load(), 0x7FFFFFFF);
  mad_frame f = MakeFrame(MAD_LAYER_III, MAD_MODE_STEREO, 3);
  f.sbsample[0][0][0] = 0x01000000;  // 1/16
  f.sbsample[0][0][1] = -0x01000000;
  f.sbsample[0][0][2] = 0x70000000;  // loud: clips rather than wrapping around
  dsp::ApplySubbandGains(eq, &f);
  EXPECT_EQ(f.sbsample[0][0][0], 0x08000000);  // x8, the sign kept
  EXPECT_EQ(f.sbsample[0][0][1], -0x08000000);
  EXPECT_EQ(f.sbsample[0][0][2], INT32_MAX);
  mad_frame_finish(&f);
}

TEST(SubbandEq, MillidecibelsTruncateToWholeDbButReadBackExactly) {
  dsp::SubbandEqualizer eq;
  int gains[10] = {-1500, 0, 0, 0, 0, 0, 0, 0, 0, 2999};
  dsp::SubbandSetParamEx(&eq, 500, gains);
  EXPECT_EQ(eq.table[0].load(), dsp::SubbandFactor(-1 + 0.5));
  EXPECT_EQ(eq.table[31].load(), dsp::SubbandFactor(2 + 0.5));
  EXPECT_EQ(dsp::SubbandFactor(0), 0x10000000);
  int got[10] = {}, preamp = 0;
  EXPECT_EQ(dsp::SubbandGetParam(eq, true, &preamp, got), 10);
  EXPECT_EQ(got[0], -1500);
  EXPECT_EQ(got[9], 2999);
  EXPECT_EQ(preamp, 500);
  EXPECT_EQ(dsp::SubbandGetParam(eq, false, &preamp, got), 10);
  EXPECT_EQ(got[0], -1);
  EXPECT_EQ(got[9], 2);
  EXPECT_EQ(preamp, 0);
  int untouched[10] = {42};
  EXPECT_EQ(dsp::SubbandGetParam(eq, false, nullptr, untouched), 10);
  EXPECT_EQ(untouched[0], 42);
  // A null gain array keeps the gains and applies the new preamp.
  dsp::SubbandSetParam(&eq, 3, nullptr);
  EXPECT_EQ(dsp::SubbandGetParam(eq, true, &preamp, got), 10);
  EXPECT_EQ(got[0], -1500);
  EXPECT_EQ(preamp, 3000);
  EXPECT_EQ(eq.table[0].load(), dsp::SubbandFactor(-1 + 3));
}

}  // namespace
