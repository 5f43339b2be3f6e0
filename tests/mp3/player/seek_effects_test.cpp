// Seeking, loops, fades and the channel effects, measured on the audio the no-output mode hands
// to MP3_EVENT_WAVE_BUFFER and compared with a plain decode of the whole file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <thread>
#include <tuple>

#include "mp3/effects/block_effects.h"
#include "platform/audio.h"
#include "tests/mp3/player/device_ring.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

const std::string& ToneFile() {
  static const std::string path = EncodeWithLame("seek_tone.mp3", TonePcm(44100, 3.0), 44100, "-b 128");
  return path;
}

std::vector<int16_t> PlayRun(RUVe3& p, bool loop = false, uint32_t extra = 0) {
  if (!loop) {
    CallbackLog::Reset();
    p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP | extra);
    EXPECT_EQ(p.Play(), 1) << p.GetError();
  }
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  p.SetCallbackFunc(nullptr, 0);
  return CallbackLog::Samples();
}

// Stereo frame of `reference` where `heard` starts (best match of its first 1152 frames).
size_t FindStart(const std::vector<int16_t>& reference, const std::vector<int16_t>& heard) {
  double best = 1e300;
  size_t at = 0;
  for (size_t start = 0; start + 1152 * 2 <= reference.size() / 2; ++start) {
    double error = 0;
    for (size_t i = 0; i < 1152 * 2 && error < best; i += 2) {
      const double d = double(heard[2304 + i]) - reference[(start + 1152) * 2 + i];
      error += d * d;
    }
    if (error < best) best = error, at = start;
  }
  return at;
}

double Rms(const std::vector<int16_t>& s, size_t frame, int channel) {
  double sum = 0;
  for (size_t i = 0; i < 1152; ++i)
    sum += double(s[(frame * 1152 + i) * 2 + channel]) * s[(frame * 1152 + i) * 2 + channel];
  return std::sqrt(sum / 1152);
}

TEST(SeekAndLoop, SeekLandsWhereTheWholeDecodeHasThatMoment) {
  const Decoded reference = DecodeAll(ToneFile());
  ASSERT_TRUE(reference.opened);
  Player p;
  ASSERT_EQ(p->OpenFile(ToneFile().c_str(), 0, 0, 0), 1);
  MP3_TIME t{};
  t.ms = 1000;
  ASSERT_EQ(p->Seek(TIME_FORMAT_MS, &t, MOVE_FROM_START), 1);
  MP3_TIME at{};
  ASSERT_EQ(p->GetPosition(&at), 1);
  EXPECT_EQ(at.ms, 1000u) << "stopped after a seek, the position is the seek position";
  const std::vector<int16_t> heard = PlayRun(p);
  ASSERT_GT(heard.size(), 4608u);
  const double start = double(FindStart(reference.stereo, heard));
  EXPECT_NEAR(start, 44100.0, 1152.0);

  // Past the end: the run finds nothing and stops at once.
  t.ms = 100000;
  ASSERT_EQ(p->Seek(TIME_FORMAT_MS, &t, MOVE_FROM_START), 1);
  EXPECT_TRUE(PlayRun(p).empty());
  // Bytes backwards past the start go to byte 0.
  t.bytes = 1u << 30;
  ASSERT_EQ(p->Seek(TIME_FORMAT_BYTES, &t, MOVE_BACKWARD), 1);
  ASSERT_EQ(p->GetPosition(&at), 1);
  EXPECT_EQ(at.bytes, 0u);
  EXPECT_EQ(at.ms, 0u);
  EXPECT_EQ(PlayRun(p).size(), reference.stereo.size()) << "the next run plays the whole song";
}

TEST(SeekAndLoop, AVbrSeekThroughTheTableOfContentsLandsWithinOnePercent) {
  const std::string path = EncodeWithLame("seek_vbr.mp3", TonePcm(44100, 3.0), 44100, "-V 5");
  const Decoded reference = DecodeAll(path);
  ASSERT_TRUE(reference.opened);
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  ASSERT_EQ(StreamInfo(p).vbr, 1) << "the test needs a VBR header's table of contents";
  ASSERT_GT(StreamInfo(p).header_size, 0) << "the test needs a VBR header's table of contents";
  MP3_TIME t{};
  t.sec = 2;
  ASSERT_EQ(p->Seek(TIME_FORMAT_SEC, &t, MOVE_FROM_START), 1);
  const std::vector<int16_t> heard = PlayRun(p);
  ASSERT_GT(heard.size(), 4608u);
  EXPECT_NEAR(double(FindStart(reference.stereo, heard)), 88200.0, 0.01 * SongLength(p).ms * 44.1);
}

TEST(SeekAndLoop, ALoopWithTwoRepeatsPlaysThreeTimesThenStops) {
  Player p;
  ASSERT_EQ(p->OpenFile(ToneFile().c_str(), 0, 0, 0), 1);
  MP3_TIME from{}, to{};
  from.ms = 500;
  to.ms = 1500;
  CallbackLog::Reset();
  p->SetCallbackFunc(&CallbackLog::Callback,
                     MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP | MP3_EVENT_ENTER_LOOP | MP3_EVENT_EXIT_LOOP);
  ASSERT_EQ(p->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 2), 1) << p->GetError();
  const std::vector<int16_t> heard = PlayRun(p, true, MP3_EVENT_ENTER_LOOP | MP3_EVENT_EXIT_LOOP);
  const std::vector<uint32_t> m = CallbackLog::Messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_ENTER_LOOP), 1);
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_EXIT_LOOP), 1);
  // Three passes of exactly one second each, and nothing after them: the player was stopped.
  const size_t pass = 2 * 44100;  // interleaved samples
  ASSERT_EQ(heard.size(), 3 * pass);

  // Each later pass sounds like the first from its very first sample: the decoder starts
  // afresh at the loop's start, with no bit reservoir left over from the loop's end.
  for (int later = 1; later <= 2; ++later) {
    double sum = 0;
    for (size_t i = 0; i < 4 * 1152 * 2; ++i) {
      const double d = double(heard[i]) - heard[later * pass + i];
      sum += d * d;
    }
    EXPECT_LT(std::sqrt(sum / (4 * 1152 * 2)), 4.0) << "pass " << later + 1 << " starts unlike the first";
  }

  EXPECT_EQ(p->PlayLoop(TIME_FORMAT_MS, &to, TIME_FORMAT_MS, &from, 1), 0);
  EXPECT_STREQ(p->GetError(), "PlayLoop->Loop end time is smaller than loop start time !");
  EXPECT_EQ(p->PlayLoop(TIME_FORMAT_BYTES, &from, TIME_FORMAT_MS, &to, 1), 0);
  EXPECT_STREQ(p->GetError(), "PlayLoop->TIME_FORMAT_BYTES not supported !");
  EXPECT_EQ(p->PlayLoop(TIME_FORMAT_MS, nullptr, TIME_FORMAT_MS, &to, 1), 0);
  EXPECT_STREQ(p->GetError(), "PlayLoop->Invalid time format !");
  EXPECT_EQ(p->Seek(0, &from, MOVE_FROM_START), 0);
  EXPECT_STREQ(p->GetError(), "Seek->Invalid time format !");
  EXPECT_EQ(p->Seek(TIME_FORMAT_MS, nullptr, MOVE_FROM_START), 0);
  EXPECT_STREQ(p->GetError(), "Seek->MP3_TIME *pTime can't be 0 !");
  EXPECT_EQ(p->GetPosition(nullptr), 0);
  EXPECT_STREQ(p->GetError(), "GetPosition->MP3_TIME *pTime - this parameter can't be NULL");
  ASSERT_EQ(p->ReverseMode(1), 1);
  EXPECT_EQ(p->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 1), 0);
  EXPECT_STREQ(p->GetError(), "PlayLoop->Stream is in reverse mode. Can't play loop !");
  p->Close();
  EXPECT_EQ(p->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 1), 0);
  EXPECT_STREQ(p->GetError(), "PlayLoop->Stream isn't open !");
  EXPECT_EQ(p->ReverseMode(1), 0);
  EXPECT_STREQ(p->GetError(), "ReverseMode->Stream isn't open !");
  EXPECT_EQ(p->Seek(TIME_FORMAT_MS, &from, MOVE_FROM_START), 0);
  EXPECT_STREQ(p->GetError(), "Seek->Stream isn't open !");
}

TEST(VolumeAndFade, FadeInFollowsTheLoudnessCurveAndVolumeScalesEachChannel) {
  const Decoded reference = DecodeAll(ToneFile());
  Player p;
  ASSERT_EQ(p->OpenFile(ToneFile().c_str(), 0, 0, 0), 1);
  MP3_TIME t{};
  t.ms = 1000;
  ASSERT_EQ(p->FadeVolumeEx(1, TIME_FORMAT_MS, &t), 1);
  const std::vector<int16_t> faded = PlayRun(p, false, MP3_EVENT_FADE_IN_START | MP3_EVENT_FADE_IN_END);
  const std::vector<uint32_t> m = CallbackLog::Messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_FADE_IN_START), 1);
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_FADE_IN_END), 1);
  ASSERT_EQ(faded.size(), reference.stereo.size());
  for (size_t frame : {5u, 12u, 19u, 30u}) {
    // The factors are applied once per block, as they stand after its last frame's step.
    const uint32_t per_block = FramesPerBlock(p);
    const size_t block_end = (frame / per_block + 1) * per_block;
    const double expected = LoudnessFactor(double(block_end) * 100.0 / 38);
    EXPECT_NEAR(Rms(faded, frame, 0) / Rms(reference.stereo, frame, 0), expected, 0.01) << frame;
  }
  EXPECT_NEAR(Rms(faded, 40, 0), Rms(reference.stereo, 40, 0), 1.0) << "full level after 38 frames";

  ASSERT_EQ(p->SetPlayerVolume(50, 150), 1);
  int l = 0, r = 0;
  ASSERT_EQ(p->GetPlayerVolume(&l, &r), 1);
  EXPECT_EQ(l, 50);
  EXPECT_EQ(r, 100);
  const std::vector<int16_t> quieter = PlayRun(p);
  EXPECT_NEAR(Rms(quieter, 20, 0) / Rms(reference.stereo, 20, 0), 0.21623, 0.002);
  EXPECT_NEAR(Rms(quieter, 20, 1), Rms(reference.stereo, 20, 1), 1.0);
  p->SetPlayerVolume(100, 100);

  ASSERT_EQ(p->MixChannels(1, 50, 50), 1);
  const std::vector<int16_t> mixed = PlayRun(p);
  size_t unequal = 0;
  for (size_t i = 0; i + 1 < mixed.size(); i += 2) unequal += std::abs(mixed[i] - mixed[i + 1]) > 2;
  EXPECT_EQ(unequal, 0u) << "mixing makes both channels equal";
  ASSERT_EQ(p->VocalCut(5), 1);
  const std::vector<int16_t> cut = PlayRun(p);
  EXPECT_LT(Rms(cut, 20, 0), 3.0) << "a centred source cancels";
  MP3_STATUS s{};
  p->GetStatus(&s);
  EXPECT_EQ(s.vocal_cut, 1);
  EXPECT_EQ(s.channel_mix, 1);

  // Fading out over no time silences at once.
  p->MixChannels(0, 0, 0);
  p->VocalCut(0);
  t.ms = 0;
  ASSERT_EQ(p->FadeVolume(2, TIME_FORMAT_MS, &t), 1);
  const std::vector<int16_t> silent = PlayRun(p);
  EXPECT_EQ(Rms(silent, 20, 0), 0.0);

  EXPECT_EQ(p->FadeVolume(3, TIME_FORMAT_MS, &t), 0);
  EXPECT_STREQ(p->GetError(), "FadeVolume->Invalid fMode !");
  EXPECT_EQ(p->FadeVolumeEx(1, TIME_FORMAT_MS, nullptr), 0);
  EXPECT_STREQ(p->GetError(), "FadeVolume->MP3_TIME *pTime can't be 0");
  EXPECT_EQ(p->GetMasterVolume(&l, nullptr), 0);
  EXPECT_STREQ(p->GetError(), "GetVolume->Invalid parameters !");
  unsigned vl = 7, vr = 7;
  EXPECT_EQ(p->GetVUData(&vl, &vr), 1);
  EXPECT_EQ(vl + vr, 0u) << "nothing plays";
  EXPECT_EQ(p->GetVUData(nullptr, &vr), 0);
  EXPECT_STREQ(p->GetError(), "GetVUData->Invalid parameters !");
  ASSERT_EQ(p->SetMasterVolume(150, 0), 1);
  ASSERT_EQ(p->GetMasterVolume(&l, &r), 1);
  EXPECT_EQ(l, 100);
  EXPECT_EQ(r, 0);
  p->SetMasterVolume(100, 100);
}

}  // namespace

namespace {

TEST(VuMeter, FullOnASquareWaveAndZeroOnSilence) {
  Bytes square(44100 * 2 * 4), silence(44100 * 2 * 4, 0);
  for (size_t i = 0; i < square.size() / 2; ++i) {
    const int16_t v = (i / 2 / 50) % 2 ? 32000 : -32000;
    std::memcpy(&square[i * 2], &v, 2);
  }
  for (const auto& [name, pcm, expected] :
       {std::tuple{"vu_square.mp3", square, 100u}, std::tuple{"vu_silence.mp3", silence, 0u}}) {
    const std::string path = EncodeWithLame(name, pcm, 44100, "-b 320");
    ASSERT_FALSE(path.empty());
    DAr3 p;
    ASSERT_EQ(p.OpenFile(path.c_str(), 800, 0, 0), 1);
    ASSERT_EQ(p.Play(), 1) << p.GetError();
    std::vector<int16_t> chunk(4410 * 2);
    unsigned left = 7, right = 7;
    // Pull at the pace the thread fills the ring: two buffers queued before each pull.
    for (int pulls = 0; pulls < 6; ++pulls) {
      WaitQueued(p, 2);
      platform::AudioPull(chunk.data(), 4410);
    }
    ASSERT_EQ(p.GetVUData(&left, &right), 1);
    EXPECT_EQ(left, expected) << name;
    EXPECT_EQ(right, expected) << name;
    p.Stop();
  }
}

}  // namespace
