#include "mp3/dsp/echo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Blocks of 64 stereo frames: two 128-byte chunks each.
constexpr int kBlockFrames = 64;
constexpr int kBlockBytes = kBlockFrames * 4;

struct EchoFixture : ::testing::Test {
  dsp::EchoProcessor echo;
  std::string error;

 protected:
  void SetUp() override { ASSERT_EQ(dsp::EchoStreamOpened(&echo, kBlockBytes, &error), 1); }

  // One block of constant left and right values; returns the processed first frame of each
  // half (that is, of each chunk).
  std::pair<int16_t, int16_t> Block(int16_t left, int16_t right, std::pair<int16_t, int16_t>* second = nullptr) {
    std::vector<int16_t> s(kBlockFrames * 2);
    for (int f = 0; f < kBlockFrames; ++f) s[2 * f] = left, s[2 * f + 1] = right;
    dsp::EchoProcessBlock(&echo, s.data(), kBlockBytes);
    for (int f = 1; f < kBlockFrames / 2; ++f) {
      EXPECT_EQ(s[2 * f], s[0]);  // every frame of a chunk alike
      EXPECT_EQ(s[kBlockFrames + 2 * f], s[kBlockFrames]);
    }
    if (second) *second = {s[kBlockFrames], s[kBlockFrames + 1]};
    return {s[0], s[1]};
  }

  // Chunk-by-chunk left output for one chunk of 1000 followed by silence.
  std::vector<int> ImpulseResponse(int chunks) {
    std::vector<int> out;
    for (int c = 0; c < chunks; c += 2) {
      std::vector<int16_t> s(kBlockFrames * 2, 0);
      if (c == 0)
        for (int f = 0; f < kBlockFrames / 2; ++f) s[2 * f] = 1000;
      dsp::EchoProcessBlock(&echo, s.data(), kBlockBytes);
      out.push_back(s[0]);
      out.push_back(s[kBlockFrames]);
    }
    return out;
  }
};

TEST_F(EchoFixture, SteadyInputSettlesAtTheTapSum) {
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 0, 0, 0, 0, 0, &error), 1);
  // Mode 0 taps 50, 20, 10 % on the halved input: 500 + 250 + 100 + 50 once three chunks
  // of history hold it.
  std::pair<int16_t, int16_t> second;
  EXPECT_EQ(Block(1000, -1000, &second), (std::pair<int16_t, int16_t>{750, -750}));
  EXPECT_EQ(second, (std::pair<int16_t, int16_t>{850, -850}));
  EXPECT_EQ(Block(1000, -1000), (std::pair<int16_t, int16_t>{900, -900}));
  EXPECT_EQ(Block(1000, -1000), (std::pair<int16_t, int16_t>{900, -900}));
  // Gains: dry x10^(6/20), wet x10^(-6/20) after a fresh start.
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 0, 0, 6, -6, 0, &error), 1);
  Block(1000, 1000);
  const int16_t steady = Block(1000, 1000).first;
  EXPECT_EQ(steady, static_cast<int16_t>(500 * 1.9952623149688795 + 0.5011872336272722 * 400));
}

TEST_F(EchoFixture, DelayIndexPicksTheHistoryChunk) {
  // 49 ms is index 0: the current chunk is tap 0 (500 + 50 % of 500).
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 0, 49, 0, 0, 0, &error), 1);
  EXPECT_EQ(echo.delay_index, 0);
  std::vector<int> r = ImpulseResponse(6);
  EXPECT_EQ(r, (std::vector<int>{750, 100, 50, 0, 0, 0}));
  // 1000 ms is index 20; mode 2's last tap (1 %) then reaches the 39th older chunk.
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 2, 1000, 0, 0, 0, &error), 1);
  EXPECT_EQ(echo.delay_index, 20);
  r = ImpulseResponse(42);
  EXPECT_EQ(r[0], 500);
  for (int c = 1; c < 20; ++c) EXPECT_EQ(r[c], 0) << c;
  EXPECT_EQ(r[20], 250);  // tap 0: 50 %
  EXPECT_EQ(r[21], 150);  // tap 1: 30 %
  EXPECT_EQ(r[38], 10);   // tap 18: 2 %
  EXPECT_EQ(r[39], 5);    // tap 19: 1 %
  EXPECT_EQ(r[40], 0);
  EXPECT_EQ(r[41], 0);
}

TEST_F(EchoFixture, ParametersAreClampedAndReadBack) {
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 12, -5, 1, 2, 3, &error), 1);
  int mode = -1, delay = -1, in = 0, wet = 0, out = 0;
  ASSERT_EQ(dsp::GetSfxParam(echo, &mode, &delay, &in, &wet, &out, &error), 1);
  EXPECT_EQ(mode, 9);
  EXPECT_EQ(delay, 0);
  EXPECT_EQ(in, 1);
  EXPECT_EQ(wet, 2);
  EXPECT_EQ(out, 3);
  EXPECT_EQ(dsp::GetSfxParam(echo, &mode, nullptr, &in, &wet, &out, &error), 0);
  EXPECT_EQ(error, "GetSfxParam->Invalid parameters !");
  EXPECT_EQ(echo.enabled.load(), 1);
  EXPECT_EQ(echo.allocated_size, kBlockBytes / 2 + 2);
  // Off frees the history, and processing then leaves the audio alone.
  ASSERT_EQ(dsp::SetSfxParam(&echo, 0, 3, 100, 0, 0, 0, &error), 1);
  EXPECT_EQ(echo.allocated_size, 0);
  EXPECT_EQ(echo.enabled.load(), 0);
  EXPECT_EQ(Block(1234, 4321), (std::pair<int16_t, int16_t>{1234, 4321}));
}

TEST_F(EchoFixture, ModeDataIsCheckedAndRoundTrips) {
  const dsp::EchoPresetArray saved = dsp::EchoPresetTable;
  int left[20] = {}, right[20] = {};
  EXPECT_EQ(dsp::GetSfxModeData(8, left, right), 20);
  EXPECT_EQ(left[6], 1);  // 1.7 %
  EXPECT_EQ(left[5], 2);  // 2.5 %
  EXPECT_EQ(right[19], 2);
  EXPECT_EQ(dsp::GetSfxModeData(3, left, right), 20);
  EXPECT_EQ(right[2], 50);
  EXPECT_EQ(right[19], 2);
  EXPECT_EQ(left[15], 20);

  int weights[20];
  for (int i = 0; i < 20; ++i) weights[i] = 29 + i;
  EXPECT_EQ(dsp::SetSfxModeData(&echo, 4, weights, weights, 19, &error), 0);
  EXPECT_EQ(error, "SetSfxModeData->Invalid parameters !");
  error.clear();
  for (int bad : {10, -1, 1 << 30}) {
    EXPECT_EQ(dsp::SetSfxModeData(&echo, bad, weights, weights, 20, &error), 0) << bad;
    EXPECT_EQ(error, "SetSfxModeData->Invalid parameters !");
    EXPECT_EQ(dsp::GetSfxModeData(bad, left, right), 0);
  }
  EXPECT_EQ(dsp::SetSfxModeData(&echo, 4, nullptr, weights, 20, &error), 0);
  EXPECT_EQ(dsp::SetSfxModeData(&echo, 4, weights, weights, 20, &error), 1);
  EXPECT_EQ(dsp::GetSfxModeData(4, left, right), 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(left[i], 29 + i) << i;
  EXPECT_EQ(dsp::GetSfxModeData(4, nullptr, right), 20);

  // Changing the mode that plays is heard at once.
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 1, 0, 0, 0, 0, &error), 1);
  int only_now[20] = {100};
  int none[20] = {};
  ASSERT_EQ(dsp::SetSfxModeData(&echo, 1, only_now, none, 20, &error), 1);
  EXPECT_EQ(Block(1000, 1000), (std::pair<int16_t, int16_t>{1000, 500}));
  dsp::EchoPresetTable = saved;
}

TEST_F(EchoFixture, OddBlocksKeepChannelsAndOversizedChunksStayInBounds) {
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 0, 0, 0, 0, 0, &error), 1);
  // 63 frames: the halves split on a frame boundary (31 + 32), so left stays left.
  std::vector<int16_t> s(63 * 2);
  for (int f = 0; f < 63; ++f) s[2 * f] = 1000, s[2 * f + 1] = -1000;
  dsp::EchoProcessBlock(&echo, s.data(), 63 * 4);
  for (int f = 0; f < 63; ++f) {
    EXPECT_GT(s[2 * f], 0) << f;
    EXPECT_LT(s[2 * f + 1], 0) << f;
  }
  // A chunk longer than the history's chunks is processed up to their size only.
  std::vector<int16_t> big(1000, 2000);
  std::lock_guard<std::recursive_mutex> hold(echo.lock);
  dsp::EchoProcessChunk(&echo, big.data(), 2000);
  EXPECT_EQ(big[(kBlockBytes / 2 + 2) / 2 + 10], 2000);  // beyond: untouched
  EXPECT_NE(big[0], 2000);
  // Saturation instead of wrap-around.
  dsp::SetSfxParam(&echo, 1, 2, 0, 20, 20, 20, &error);
  std::vector<int16_t> loud(64 * 2, 30000);
  dsp::EchoProcessBlock(&echo, loud.data(), kBlockBytes);
  EXPECT_EQ(loud[0], 32767);
}

TEST_F(EchoFixture, StreamOpenSizesTheHistory) {
  ASSERT_EQ(dsp::SetSfxParam(&echo, 1, 5, 300, 0, 0, 0, &error), 1);
  EXPECT_EQ(echo.allocated_size, kBlockBytes / 2 + 2);
  ASSERT_EQ(dsp::EchoStreamOpened(&echo, 4608 * 4, &error), 1);
  EXPECT_EQ(echo.allocated_size, 4608 * 2 + 2);
  EXPECT_EQ(echo.chunk_size, 4608 * 2 + 2);
  dsp::ClearEchoHistory(&echo);
  // Never enabled: no history until it is switched on.
  dsp::EchoProcessor fresh;
  EXPECT_EQ(dsp::EchoStreamOpened(&fresh, 4608 * 4, &error), 1);
  EXPECT_EQ(fresh.allocated_size, 0);
  EXPECT_EQ(fresh.left_weights[0], 0.5);
}

}  // namespace
