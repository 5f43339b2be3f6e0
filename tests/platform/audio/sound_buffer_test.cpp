// Static sound buffers, checked on the mixed output of the headless engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace platform;
using audio_test::Channel;
using audio_test::Pull;

const bool kHeadless = audio_test::ChooseTestBackend();

// A mono 16-bit buffer filled with `samples`.
SoundBuffer* MonoBuffer(const std::vector<int16_t>& samples, uint32_t rate = kAudioOutputRate) {
  PcmFormat format{rate, 1, 16};
  SoundBuffer* buffer = CreateSoundBuffer(format, static_cast<uint32_t>(samples.size() * 2));
  void *a = nullptr, *b = nullptr;
  uint32_t na = 0, nb = 0;
  EXPECT_TRUE(LockSoundBuffer(buffer, 0, samples.size() * 2, &a, &na, &b, &nb));
  std::memcpy(a, samples.data(), na);
  EXPECT_TRUE(UnlockSoundBuffer(buffer, a, na, b, nb));
  return buffer;
}

std::vector<int16_t> Sine(size_t frames, double hz, double amplitude, uint32_t rate = kAudioOutputRate) {
  std::vector<int16_t> out(frames);
  for (size_t i = 0; i < frames; ++i) out[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate));
  return out;
}

class SoundBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kHeadless);
    AudioShutdown();  // every test starts with an empty engine
  }
};

TEST_F(SoundBufferTest, PlaysItsSamplesOnceThenStopsAndRewinds) {
  std::vector<int16_t> samples(1000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
  SoundBuffer* buffer = MonoBuffer(samples);
  EXPECT_FALSE(IsSoundBufferPlaying(buffer));
  ASSERT_TRUE(PlaySoundBuffer(buffer, false));
  EXPECT_TRUE(IsSoundBufferPlaying(buffer));
  auto out = Pull(1500);
  for (size_t i = 0; i < samples.size(); ++i) {
    ASSERT_EQ(out[2 * i], samples[i]) << i;  // a 44100 Hz client passes through untouched
    ASSERT_EQ(out[2 * i + 1], samples[i]) << i;
  }
  for (size_t i = samples.size() * 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0);
  EXPECT_FALSE(IsSoundBufferPlaying(buffer));
  uint32_t position = 1;
  EXPECT_TRUE(GetSoundBufferPosition(buffer, &position));
  EXPECT_EQ(position, 0u);
}

TEST_F(SoundBufferTest, LoopsUntilStoppedAndStopKeepsThePosition) {
  auto samples = Sine(441, 100, 8000);  // exactly one period per loop
  SoundBuffer* buffer = MonoBuffer(samples);
  ASSERT_TRUE(PlaySoundBuffer(buffer, true));
  auto out = Channel(Pull(441 * 5 + 100), 0);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], samples[i % 441]) << i;
  EXPECT_TRUE(IsSoundBufferPlaying(buffer));
  ASSERT_TRUE(StopSoundBuffer(buffer));
  uint32_t position = 0;
  EXPECT_TRUE(GetSoundBufferPosition(buffer, &position));
  EXPECT_EQ(position, 100u * 2);
  EXPECT_EQ(audio_test::Rms(Channel(Pull(500), 0)), 0);
  // Playing resumes from where it stopped.
  ASSERT_TRUE(PlaySoundBuffer(buffer, false));
  auto rest = Channel(Pull(10), 0);
  EXPECT_EQ(rest[0], samples[100]);

  // A loop that has just gone round reads as the start, and the write cursor locks there.
  ASSERT_TRUE(SetSoundBufferPosition(buffer, 0));
  ASSERT_TRUE(PlaySoundBuffer(buffer, true));
  Pull(441);
  EXPECT_TRUE(GetSoundBufferPosition(buffer, &position));
  EXPECT_EQ(position, 0u);
  void *a = nullptr, *b = nullptr;
  uint32_t na = 0, nb = 0;
  ASSERT_TRUE(LockSoundBuffer(buffer, 0, 4, &a, &na, &b, &nb, kSoundLockFromWriteCursor));
  EXPECT_EQ(na, 4u);
  EXPECT_TRUE(UnlockSoundBuffer(buffer, a, na, b, nb));
  StopSoundBuffer(buffer);
}

TEST_F(SoundBufferTest, LockGrantsTwoRegionsWhenTheRangeWraps) {
  SoundBuffer* buffer = CreateSoundBuffer(PcmFormat{22050, 1, 16}, 1000);
  ASSERT_NE(buffer, nullptr);
  void *a = nullptr, *b = nullptr;
  uint32_t na = 0, nb = 0;
  ASSERT_TRUE(LockSoundBuffer(buffer, 800, 400, &a, &na, &b, &nb));
  EXPECT_EQ(na, 200u);
  EXPECT_EQ(nb, 200u);
  EXPECT_EQ(static_cast<char*>(b) + 800, static_cast<char*>(a));
  EXPECT_FALSE(LockSoundBuffer(buffer, 0, 10, &a, &na, &b, &nb));  // already locked
  EXPECT_FALSE(UnlockSoundBuffer(buffer, a, na + 1, b, nb));       // not what was granted
  EXPECT_TRUE(UnlockSoundBuffer(buffer, a, na, b, nb));
  ASSERT_TRUE(LockSoundBuffer(buffer, 0, 1000, &a, &na, &b, &nb));
  EXPECT_EQ(na, 1000u);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(nb, 0u);
  EXPECT_TRUE(UnlockSoundBuffer(buffer, a, na, b, nb));
  EXPECT_FALSE(LockSoundBuffer(buffer, 0, 1001, &a, &na, &b, &nb));
  EXPECT_FALSE(LockSoundBuffer(buffer, 1000, 1, &a, &na, &b, &nb));
  EXPECT_FALSE(LockSoundBuffer(buffer, 0, 0, &a, &na, &b, &nb));
  EXPECT_FALSE(LockSoundBuffer(buffer, 900, 200, &a, &na, nullptr, nullptr));  // no room for region 2
  EXPECT_FALSE(SetSoundBufferPosition(buffer, 1000));
  EXPECT_TRUE(SetSoundBufferPosition(buffer, 998));
}

TEST_F(SoundBufferTest, UnusableFormatsSizesAndHandlesFailCleanly) {
  EXPECT_EQ(CreateSoundBuffer(PcmFormat{44100, 3, 16}, 600), nullptr);
  EXPECT_EQ(CreateSoundBuffer(PcmFormat{44100, 2, 24}, 600), nullptr);
  EXPECT_EQ(CreateSoundBuffer(PcmFormat{50, 2, 16}, 600), nullptr);
  EXPECT_EQ(CreateSoundBuffer(PcmFormat{44100, 2, 16}, 3), nullptr);  // less than a frame
  EXPECT_EQ(CreateSoundBuffer(PcmFormat{44100, 2, 16}, 0xFFFFFFFFu), nullptr);
  SoundBuffer* buffer = CreateSoundBuffer(PcmFormat{44100, 2, 16}, 6);  // a partial last frame
  ASSERT_NE(buffer, nullptr);
  PlaySoundBuffer(buffer, true);
  Pull(10);  // plays its one frame over and over without reading past the end
  ReleaseSoundBuffer(buffer);
  EXPECT_FALSE(PlaySoundBuffer(buffer, false));
  EXPECT_FALSE(PlaySoundBuffer(nullptr, false));
  EXPECT_FALSE(StopSoundBuffer(nullptr));
  EXPECT_FALSE(SetSoundBufferVolume(nullptr, 0));
  uint32_t position;
  EXPECT_FALSE(GetSoundBufferPosition(nullptr, &position));
  ReleaseSoundBuffer(nullptr);
}

TEST_F(SoundBufferTest, ManyLoudBuffersClipInsteadOfWrapping) {
  std::vector<int16_t> loud(100, 30000);
  for (int i = 0; i < 4; ++i) PlaySoundBuffer(MonoBuffer(loud), false);
  auto out = Pull(100);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[199], 32767);
}

}  // namespace
