// The sound-effect table, checked on the mixed output of the headless engine.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "sound/sound.h"
#include "tests/sound/wav_files.h"
#include "tests/support/audio_measure.h"

namespace {

using audio_test::Channel;
using audio_test::Pull;
using namespace wav_test;

const bool kHeadless = audio_test::ChooseTestBackend();

std::vector<double> IdealSine(size_t frames, double hz, double amplitude) {
  std::vector<double> out(frames);
  for (size_t i = 0; i < frames; ++i) out[i] = amplitude * std::sin(2 * M_PI * hz * i / platform::kAudioOutputRate);
  return out;
}

class SoundEffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kHeadless);
    if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
    ASSERT_EQ(SoundInit(), 1);
    Pull(4096);  // whatever an earlier test left playing is over
  }
  void TearDown() override {
    StopAllSoundEffects();
    DeleteAllSoundEffects();
    SoundShutdown();
  }
  // A sox-made sine: 440 Hz (and 660 Hz on the right for stereo), `seconds` long.
  std::string SoxSine(uint32_t rate, int bits, int channels, double seconds = 0.2) {
    std::string path =
        TempPath("sine_" + std::to_string(rate) + "_" + std::to_string(bits) + "_" + std::to_string(channels) + ".wav");
    std::string tones = channels == 2 ? "sine 440 sine 660" : "sine 440";
    EXPECT_TRUE(Sox("-D -n -r " + std::to_string(rate) + " -b " + std::to_string(bits) + " -c " +
                    std::to_string(channels) + " -e " + (bits == 8 ? "unsigned" : "signed") + " " + path + " synth " +
                    std::to_string(seconds) + " " + tones + " vol 0.5"));
    return path;
  }
};

TEST_F(SoundEffectsTest, SoxFilesOfEveryFormatPlayAtTheirOwnRateAndPitch) {
  for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
    for (int bits : {8, 16}) {
      for (int channels : {1, 2}) {
        SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(bits) + " bits, " + std::to_string(channels) +
                     " channels");
        std::string path = SoxSine(rate, bits, channels);
        int id = LoadWavSound(path.c_str(), 224);
        ASSERT_GE(id, 0);
        // The slot records the file's own rate and data size.
        EXPECT_EQ(sound_table[id].rate, rate);
        EXPECT_EQ(sound_table[id].size, static_cast<uint32_t>(0.2 * rate) * channels * bits / 8);
        EXPECT_EQ(GetSoundStatus(id), SOUND_LOADED);
        ASSERT_EQ(PlaySoundEffect(id, 0), 1);
        auto out = Pull(12000);
        auto left = Channel(out, 0), right = Channel(out, 1);
        // 0.2 s at any rate is 8820 output frames.
        EXPECT_NEAR(static_cast<double>(audio_test::SoundingLength(left)), 8820, 8);
        left.resize(8800);
        right.resize(8800);
        EXPECT_NEAR(audio_test::FrequencyOf(left), 440, 6);
        EXPECT_NEAR(audio_test::FrequencyOf(right), channels == 2 ? 660 : 440, 6);
        EXPECT_GT(audio_test::Correlation(left, IdealSine(8800, 440, 1)), 0.99);
        DeleteSoundEffect(id);
      }
    }
  }
}

TEST_F(SoundEffectsTest, AnEffectComesOutAsItsSamplesOnceOrLooping) {
  std::string path = SoxSine(44100, 16, 1, 0.05);
  std::string raw = TempPath("sine.raw");
  ASSERT_TRUE(Sox(path + " -t raw " + raw));
  auto bytes = ReadFile(raw);
  std::vector<double> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  int id = LoadWavSound(path.c_str(), 224);
  ASSERT_EQ(id, 0);

  PlaySoundEffect(id, 0);
  auto out = Channel(Pull(samples.size() * 3), 0);
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(out[i], samples[i]) << i;
  EXPECT_EQ(audio_test::SoundingLength(out), audio_test::SoundingLength(samples));

  PlaySoundEffect(id, SOUND_PLAY_LOOPING);
  out = Channel(Pull(samples.size() * 3), 0);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], samples[i % samples.size()]) << i;
  // Playing again rewinds; stopping silences and rewinds.
  PlaySoundEffect(id, SOUND_PLAY_LOOPING);
  out = Channel(Pull(10), 0);
  EXPECT_EQ(out[1], samples[1]);
  EXPECT_EQ(StopSoundEffect(id), 1);
  EXPECT_EQ(audio_test::Rms(Channel(Pull(1000), 0)), 0);
  EXPECT_EQ(GetSoundStatus(id), SOUND_STOPPED);
}

TEST_F(SoundEffectsTest, VolumePanAndFrequencyAct) {
  std::string path = SoxSine(44100, 16, 1, 0.5);
  int id = LoadWavSound(path.c_str(), 224);
  ASSERT_GE(id, 0);
  PlaySoundEffect(id, 0);
  double full = audio_test::Rms(Channel(Pull(22050), 0));

  // Volume 0 is -3000 hundredths of a dB: 30 dB down.
  ASSERT_EQ(SetSoundVolume(id, 0), 1);
  int32_t attenuation = 1;
  platform::GetSoundBufferVolume(sound_table[id].buffer, &attenuation);
  EXPECT_EQ(attenuation, -3000);
  PlaySoundEffect(id, 0);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(Pull(22050), 0)) / full), -30.0, 0.5);
  ASSERT_EQ(SetSoundVolume(id, 50), 1);
  platform::GetSoundBufferVolume(sound_table[id].buffer, &attenuation);
  EXPECT_EQ(attenuation, -1500);
  ASSERT_EQ(SetSoundVolume(id, 100), 1);
  platform::GetSoundBufferVolume(sound_table[id].buffer, &attenuation);
  EXPECT_EQ(attenuation, 0);
  EXPECT_EQ(SetSoundVolume(id, 101), 0);  // would be a gain: the engine refuses
  EXPECT_EQ(SetSoundVolume(id, INT_MAX), 0);
  EXPECT_EQ(SetSoundVolume(id, INT_MIN), 0);

  ASSERT_EQ(SetSoundPan(id, -10000), 1);
  PlaySoundEffect(id, 0);
  auto out = Pull(22050);
  EXPECT_NEAR(audio_test::Rms(Channel(out, 0)), full, 1);
  EXPECT_EQ(audio_test::Rms(Channel(out, 1)), 0);
  ASSERT_EQ(SetSoundPan(id, 2000), 1);  // to the right: the left side loses 20 dB
  PlaySoundEffect(id, 0);
  out = Pull(22050);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 0)) / full), -20.0, 0.5);
  EXPECT_NEAR(audio_test::Decibels(audio_test::Rms(Channel(out, 1)) / full), 0.0, 0.1);
  EXPECT_EQ(SetSoundPan(id, 10001), 0);
  SetSoundPan(id, 0);

  // Half the frequency: an octave down and twice as long.
  ASSERT_EQ(SetSoundFrequency(id, 22050), 1);
  PlaySoundEffect(id, 0);
  auto left = Channel(Pull(50000), 0);
  EXPECT_NEAR(static_cast<double>(audio_test::SoundingLength(left)), 44100, 8);
  left.resize(44000);
  EXPECT_NEAR(audio_test::FrequencyOf(left), 220, 3);
  EXPECT_EQ(SetSoundFrequency(id, 50), 0);
  EXPECT_EQ(SetSoundFrequency(id, -1), 0);
}

TEST_F(SoundEffectsTest, ThePlayersEffectVolumeReachesEverySoundLoadedAfter) {
  std::string path = SoxSine(44100, 16, 1, 0.2);
  const int before = LoadWavSound(path.c_str(), 224);
  SetEffectsVolume(50);
  const int after = LoadWavSound(path.c_str(), 224);
  SetEffectsVolume(100);
  const int restored = LoadWavSound(path.c_str(), 224);
  ASSERT_GE(before, 0);
  ASSERT_GE(after, 0);
  ASSERT_GE(restored, 0);
  int32_t attenuation = 1;
  platform::GetSoundBufferVolume(sound_table[before].buffer, &attenuation);
  EXPECT_EQ(attenuation, 0);
  platform::GetSoundBufferVolume(sound_table[after].buffer, &attenuation);
  EXPECT_EQ(attenuation, -1500);  // as SetSoundVolume(id, 50)
  platform::GetSoundBufferVolume(sound_table[restored].buffer, &attenuation);
  EXPECT_EQ(attenuation, 0);
  SetEffectsVolume(250);
  EXPECT_EQ(EffectsVolume(), 100);
  SetEffectsVolume(100);
}

TEST_F(SoundEffectsTest, AReplicaPlaysTheSameData) {
  std::string path = SoxSine(22050, 16, 2, 0.1);
  int id = LoadWavSound(path.c_str(), 224);
  PlaySoundEffect(id, 0);
  auto original = Pull(5000);
  int copy = ReplicateSound(id);
  ASSERT_EQ(copy, 1);
  EXPECT_EQ(sound_table[copy].rate, 22050u);
  EXPECT_EQ(sound_table[copy].size, sound_table[id].size);
  EXPECT_EQ(sound_table[copy].state, SOUND_LOADED);
  EXPECT_EQ(sound_table[copy].id, 1);
  EXPECT_NE(sound_table[copy].buffer, sound_table[id].buffer);
  PlaySoundEffect(copy, 0);
  EXPECT_EQ(Pull(5000), original);
  // The replica survives its source's deletion.
  DeleteSoundEffect(id);
  PlaySoundEffect(copy, 0);
  EXPECT_EQ(Pull(5000), original);

  EXPECT_EQ(ReplicateSound(-1), -1);
  EXPECT_EQ(ReplicateSound(SOUND_TABLE_SIZE), -1);
  EXPECT_EQ(ReplicateSound(7), -1);  // a free slot has nothing to share
  EXPECT_EQ(sound_table[2].state, SOUND_FREE);
  EXPECT_EQ(sound_table[7].state, SOUND_FREE);
  EXPECT_EQ(sound_table[7].id, 7);
}

TEST_F(SoundEffectsTest, TableIdsStatesAndResets) {
  std::string path = SoxSine(11025, 8, 1, 0.05);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 0);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 1);  // the same file twice: two slots
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 2);
  EXPECT_EQ(GetSoundStatus(1), SOUND_LOADED);
  EXPECT_EQ(GetSoundStatus(3), -1);
  EXPECT_EQ(PlaySoundEffect(3, 0), 1);  // nothing to play is no failure
  SetSoundStatus(1, SOUND_PLAYING);
  EXPECT_EQ(GetSoundStatus(1), SOUND_PLAYING);
  Pull(10000);
  EXPECT_EQ(GetSoundStatus(1), SOUND_PLAYING);  // the mark, not the engine's state
  SetSoundStatus(3, SOUND_PLAYING);
  EXPECT_EQ(GetSoundStatus(3), -1);

  // Deleting leaves the slot stopped: it is not taken again.
  EXPECT_EQ(DeleteSoundEffect(1), 1);
  EXPECT_EQ(sound_table[1].state, SOUND_STOPPED);
  EXPECT_EQ(GetSoundStatus(1), -1);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 3);

  // After stopping all, every slot is stopped and no load succeeds until SoundInit.
  EXPECT_EQ(StopAllSoundEffects(), 1);
  for (const SoundSlot& slot : sound_table) ASSERT_EQ(slot.state, SOUND_STOPPED);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), -1);
  EXPECT_EQ(ReplicateSound(0), -1);
  EXPECT_EQ(SoundInit(), 1);
  for (int i = 0; i < SOUND_TABLE_SIZE; ++i) {
    ASSERT_EQ(sound_table[i].state, SOUND_FREE);
    ASSERT_EQ(sound_table[i].buffer, nullptr);
    ASSERT_EQ(sound_table[i].id, i);
  }
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 0);

  // A full table refuses the 257th load.
  for (int i = 1; i < SOUND_TABLE_SIZE; ++i) ASSERT_EQ(ReplicateSound(0), i);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), -1);
  EXPECT_EQ(ReplicateSound(0), -1);

  // Ids outside the table are failures, not memory accesses.
  for (int bad : {-1, SOUND_TABLE_SIZE, INT_MIN, INT_MAX}) {
    EXPECT_EQ(PlaySoundEffect(bad, 0), 0);
    EXPECT_EQ(StopSoundEffect(bad), 0);
    EXPECT_EQ(DeleteSoundEffect(bad), 0);
    EXPECT_EQ(SetSoundVolume(bad, 50), 0);
    EXPECT_EQ(SetSoundFrequency(bad, 22050), 0);
    EXPECT_EQ(SetSoundPan(bad, 0), 0);
    EXPECT_EQ(GetSoundStatus(bad), -1);
    SetSoundStatus(bad, SOUND_PLAYING);
  }
  EXPECT_EQ(LoadWavSound(nullptr, 224), -1);
}

TEST_F(SoundEffectsTest, ShutdownReleasesEverythingAndInitStartsAfresh) {
  std::string path = SoxSine(22050, 16, 1, 0.05);
  int id = LoadWavSound(path.c_str(), 224);
  PlaySoundEffect(id, SOUND_PLAY_LOOPING);
  EXPECT_EQ(SoundShutdown(), 1);
  for (const SoundSlot& slot : sound_table) ASSERT_EQ(slot.buffer, nullptr);
  EXPECT_EQ(audio_test::Rms(Channel(Pull(1000), 0)), 0);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), -1);  // no layer until SoundInit
  EXPECT_EQ(SoundInit(), 1);
  EXPECT_EQ(LoadWavSound(path.c_str(), 224), 0);
}

// Broken files fail with -1, keep nothing, and the next good load still gets id 0.
TEST_F(SoundEffectsTest, MalformedFilesFailCleanly) {
  const std::vector<uint8_t> samples(400, 0x80);
  const auto fmt8 = Chunk("fmt ", FormatBody(1, 1, 11025, 8));
  auto truncated = Riff({fmt8, Chunk("data", samples)});
  truncated.resize(truncated.size() - 100);
  auto data_too_long = Riff({fmt8, Chunk("data", samples)});
  data_too_long[40] = 0xF0;  // data size field, low byte: larger than what is there
  data_too_long[41] = 0x01;
  auto huge_data = Riff({fmt8, Chunk("data", samples)});
  for (int i = 40; i < 44; ++i) huge_data[i] = 0xFF;
  Bytes short_fmt;
  short_fmt.U16(1).U16(1).U32(11025);
  Bytes not_riff;
  not_riff.Tag("RIFX").U32(4).Tag("WAVE");

  const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"not_riff", not_riff.data},
      {"not_wave", Riff({fmt8, Chunk("data", samples)}, "AVI ")},
      {"fmt_not_first", Riff({Chunk("LIST", std::vector<uint8_t>(8, 'x')), fmt8, Chunk("data", samples)})},
      {"short_fmt", Riff({Chunk("fmt ", short_fmt.data), Chunk("data", samples)})},
      {"float", Riff({Chunk("fmt ", FormatBody(3, 1, 11025, 32, true)), Chunk("data", samples)})},
      {"extensible", Riff({Chunk("fmt ", FormatBody(0xFFFE, 2, 44100, 16, true)), Chunk("data", samples)})},
      {"no_data", Riff({fmt8, Chunk("junk", samples)})},
      {"data_before_fmt", Riff({Chunk("data", samples), fmt8})},
      {"truncated", truncated},
      {"data_too_long", data_too_long},
      {"huge_data", huge_data},
      {"empty_data", Riff({fmt8, Chunk("data", {})})},
      {"three_channels", Riff({Chunk("fmt ", FormatBody(1, 3, 11025, 8)), Chunk("data", samples)})},
      {"24_bits", Riff({Chunk("fmt ", FormatBody(1, 1, 11025, 24)), Chunk("data", samples)})},
      {"zero_rate", Riff({Chunk("fmt ", FormatBody(1, 1, 0, 8)), Chunk("data", samples)})},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    std::string path = TempPath("bad_" + name + ".wav");
    WriteFile(path, bytes);
    EXPECT_EQ(LoadWavSound(path.c_str(), 224), -1);
    EXPECT_EQ(sound_table[0].state, SOUND_FREE);
    EXPECT_EQ(sound_table[0].buffer, nullptr);
  }
  EXPECT_EQ(LoadWavSound(TempPath("does_not_exist.wav").c_str(), 224), -1);

  // Good files the hand-made way: a 16-byte format chunk, odd chunks with pad bytes, and
  // other chunks between the format and the data.
  std::string good = TempPath("good.wav");
  WriteFile(good, Riff({fmt8, Chunk("note", {1, 2, 3}), Chunk("data", samples)}));
  EXPECT_EQ(LoadWavSound(good.c_str(), 224), 0);
  EXPECT_EQ(sound_table[0].size, 400u);
  EXPECT_EQ(sound_table[0].rate, 11025u);
  WriteFile(good, Riff({Chunk("fmt ", FormatBody(1, 1, 11025, 8, true)), Chunk("data", {0x80, 0x90, 0xA0})}));
  EXPECT_EQ(LoadWavSound(good.c_str(), 224), 1);
  EXPECT_EQ(sound_table[1].size, 3u);

  // Whole data under a RIFF size that says more than the file holds: a writer that counted the
  // file's own length, one that could not seek back (0xFFFFFFFF), one that left out the final
  // pad byte it counted.
  auto whole_file_length = Riff({fmt8, Chunk("data", samples)});
  whole_file_length[4] += 8;
  auto unknown_length = whole_file_length;
  for (int i = 4; i < 8; ++i) unknown_length[i] = 0xFF;
  auto missing_pad = Riff({fmt8, Chunk("data", {0x80, 0x90, 0xA0})});
  ASSERT_EQ(missing_pad.size() % 2, 0u);
  missing_pad.pop_back();
  int next_id = 2;
  for (const auto& bytes : {whole_file_length, unknown_length, missing_pad}) {
    WriteFile(good, bytes);
    EXPECT_EQ(LoadWavSound(good.c_str(), 224), next_id);
    EXPECT_EQ(sound_table[next_id].size, bytes.size() == missing_pad.size() ? 3u : 400u);
    ++next_id;
  }
}

}  // namespace
