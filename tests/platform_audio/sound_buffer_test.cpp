// Static sound buffers, checked on the mixed output of the headless engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/platform_audio/audio_measure.h"

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
}

TEST_F(SoundBufferTest, VolumeAndPanAttenuateInDecibels) {
  auto samples = Sine(44100, 441, 20000);
  SoundBuffer* loud = MonoBuffer(samples);
  PlaySoundBuffer(loud, false);
  double reference = audio_test::Rms(Channel(Pull(44100), 0));

  SoundBuffer* quiet = MonoBuffer(samples);
  ASSERT_TRUE(SetSoundBufferVolume(quiet, -3000));
  PlaySoundBuffer(quiet, false);
  auto out = Pull(44100);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 0)) / reference), -30.0, 0.5);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 1)) / reference), -30.0, 0.5);

  SoundBuffer* panned = MonoBuffer(samples);
  ASSERT_TRUE(SetSoundBufferPan(panned, 2000));  // right: the left side loses 20 dB
  PlaySoundBuffer(panned, false);
  out = Pull(44100);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 0)) / reference), -20.0, 0.5);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 1)) / reference), 0.0, 0.1);

  SoundBuffer* left = MonoBuffer(samples);
  ASSERT_TRUE(SetSoundBufferPan(left, kSoundPanLeft));
  PlaySoundBuffer(left, false);
  out = Pull(44100);
  EXPECT_GT(audio_test::Rms(Channel(out, 0)), reference * 0.99);
  EXPECT_EQ(audio_test::Rms(Channel(out, 1)), 0);

  SoundBuffer* silent = MonoBuffer(samples);
  ASSERT_TRUE(SetSoundBufferVolume(silent, kSoundVolumeMin));
  PlaySoundBuffer(silent, false);
  EXPECT_EQ(audio_test::Rms(Channel(Pull(1000), 0)), 0);

  int32_t value = 0;
  EXPECT_FALSE(SetSoundBufferVolume(loud, 1));
  EXPECT_FALSE(SetSoundBufferVolume(loud, -10001));
  EXPECT_FALSE(SetSoundBufferPan(loud, 10001));
  EXPECT_TRUE(GetSoundBufferVolume(quiet, &value));
  EXPECT_EQ(value, -3000);
  EXPECT_TRUE(GetSoundBufferPan(panned, &value));
  EXPECT_EQ(value, 2000);
}

TEST_F(SoundBufferTest, LowerRatesAndFrequencyChangesAreResampled) {
  // 0.5 s of 441 Hz at 11025 Hz: at the output rate it lasts 22050 frames at the same pitch.
  SoundBuffer* buffer = MonoBuffer(Sine(5512, 441, 16000, 11025), 11025);
  PlaySoundBuffer(buffer, false);
  auto out = Channel(Pull(30000), 0);
  EXPECT_NEAR(static_cast<double>(audio_test::SoundingLength(out)), 22048, 8);
  out.resize(22000);
  EXPECT_NEAR(audio_test::FrequencyOf(out), 441, 3);
  // Smooth: linear interpolation, not a staircase of repeated samples.
  EXPECT_GT(audio_test::Correlation(out, [] {
              std::vector<double> ideal(22000);
              for (size_t i = 0; i < ideal.size(); ++i) ideal[i] = std::sin(2 * M_PI * 441 * i / 44100.0);
              return ideal;
            }()),
            0.999);

  // Twice the frequency: twice the pitch, half the length.
  ASSERT_TRUE(SetSoundBufferFrequency(buffer, 22050));
  uint32_t hz = 0;
  EXPECT_TRUE(GetSoundBufferFrequency(buffer, &hz));
  EXPECT_EQ(hz, 22050u);
  PlaySoundBuffer(buffer, false);
  out = Channel(Pull(30000), 0);
  EXPECT_NEAR(static_cast<double>(audio_test::SoundingLength(out)), 11024, 8);
  out.resize(11000);
  EXPECT_NEAR(audio_test::FrequencyOf(out), 882, 5);
  ASSERT_TRUE(SetSoundBufferFrequency(buffer, kSoundFrequencyOriginal));
  EXPECT_TRUE(GetSoundBufferFrequency(buffer, &hz));
  EXPECT_EQ(hz, 11025u);
  EXPECT_FALSE(SetSoundBufferFrequency(buffer, 99));
  EXPECT_FALSE(SetSoundBufferFrequency(buffer, 200001));
}

TEST_F(SoundBufferTest, StereoAndEightBitFormatsMapToTheirSides) {
  PcmFormat format{kAudioOutputRate, 2, 8};
  SoundBuffer* buffer = CreateSoundBuffer(format, 200);
  void *a, *b;
  uint32_t na, nb;
  ASSERT_TRUE(LockSoundBuffer(buffer, 0, 200, &a, &na, &b, &nb, kSoundLockEntireBuffer));
  auto* bytes = static_cast<uint8_t*>(a);
  for (int i = 0; i < 100; ++i) {
    bytes[2 * i] = 0xC0;      // left +0.5
    bytes[2 * i + 1] = 0x40;  // right -0.5
  }
  UnlockSoundBuffer(buffer, a, na, b, nb);
  PlaySoundBuffer(buffer, false);
  auto out = Pull(100);
  EXPECT_EQ(out[0], 16384);
  EXPECT_EQ(out[1], -16384);
}

TEST_F(SoundBufferTest, DuplicateSharesTheSamplesButNotThePlayState) {
  auto samples = Sine(2000, 300, 9000);
  SoundBuffer* original = MonoBuffer(samples);
  ASSERT_TRUE(SetSoundBufferVolume(original, -600));
  SoundBuffer* copy = DuplicateSoundBuffer(original);
  ASSERT_NE(copy, nullptr);
  int32_t volume = 0;
  EXPECT_TRUE(GetSoundBufferVolume(copy, &volume));
  EXPECT_EQ(volume, -600);
  SetSoundBufferVolume(copy, 0);
  // Writing through the original shows in the copy: one sample memory.
  void *a, *b;
  uint32_t na, nb;
  ASSERT_TRUE(LockSoundBuffer(original, 0, 2, &a, &na, &b, &nb));
  *static_cast<int16_t*>(a) = 1234;
  UnlockSoundBuffer(original, a, na, b, nb);
  PlaySoundBuffer(copy, false);
  EXPECT_FALSE(IsSoundBufferPlaying(original));
  auto out = Channel(Pull(2000), 0);
  EXPECT_EQ(out[0], 1234);
  for (size_t i = 1; i < out.size(); ++i) ASSERT_EQ(out[i], samples[i]);
  // The samples outlive the original while the copy still plays them.
  ReleaseSoundBuffer(original);
  PlaySoundBuffer(copy, false);
  out = Channel(Pull(2000), 0);
  EXPECT_EQ(out[5], samples[5]);
  EXPECT_FALSE(IsSoundBufferPlaying(original));  // a released handle is simply unknown
  EXPECT_EQ(DuplicateSoundBuffer(nullptr), nullptr);
  ReleaseSoundBuffer(copy);
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
  EXPECT_FALSE(UnlockSoundBuffer(buffer, a, na + 1, b, nb));        // not what was granted
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
