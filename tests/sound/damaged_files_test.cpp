// Randomly damaged WAV and MIDI files: every load either fails with -1 or yields a sound or song
// that plays; nothing reads outside the file (run under AddressSanitizer).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "tests/sound/wav_files.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace wav_test;

const bool kHeadless = audio_test::ChooseTestBackend();

// The C runtime's generator: the same damage on every run.
struct Rand {
  uint32_t state = 1;
  uint32_t Next() {
    state = state * 214013 + 2531011;
    return (state >> 16) & 0x7FFF;
  }
};

// Overwrites, truncates or grows the file at random places.
std::vector<uint8_t> Damage(std::vector<uint8_t> bytes, Rand& rand) {
  switch (rand.Next() % 4) {
    case 0: bytes.resize(rand.Next() % (bytes.size() + 1)); break;
    case 1: bytes.resize(bytes.size() + rand.Next() % 64, static_cast<uint8_t>(rand.Next())); break;
    default:
      for (int n = 1 + rand.Next() % 4; n > 0 && !bytes.empty(); --n) {
        // Header bytes are where the sizes live: hit them more often.
        size_t at = rand.Next() % 2 ? rand.Next() % std::min<size_t>(bytes.size(), 48) : rand.Next() % bytes.size();
        bytes[at] = static_cast<uint8_t>(rand.Next() % 3 == 0 ? 0xFF : rand.Next());
      }
  }
  return bytes;
}

TEST(DamagedFilesTest, WavLoadsFailCleanlyOrPlay) {
  ASSERT_TRUE(kHeadless);
  ASSERT_EQ(SoundInit(), 1);
  std::vector<uint8_t> samples(300);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 37);
  const auto good =
      Riff({Chunk("fmt ", FormatBody(1, 2, 22050, 16, true)), Chunk("fact", {1, 2, 3, 4}), Chunk("data", samples)});
  Rand rand;
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    // A new file each round: rewriting one in place makes the file system flush it every time.
    const std::string path = TempPath("damaged" + std::to_string(round) + ".wav");
    WriteFile(path, Damage(good, rand));
    int id = LoadWavSound(path.c_str(), 224);
    unlink(path.c_str());
    if (id < 0) {
      ASSERT_EQ(sound_table[0].state, SOUND_FREE);
      continue;
    }
    ++loaded;
    ASSERT_EQ(id, 0);
    ASSERT_NE(sound_table[0].buffer, nullptr);
    ASSERT_GT(sound_table[0].rate, 0u);
    PlaySoundEffect(id, SOUND_PLAY_LOOPING);
    audio_test::Pull(64);
    SoundInit();
  }
  EXPECT_GT(loaded, 100);  // damage away from the sizes still loads
  SoundShutdown();
}

TEST(DamagedFilesTest, MidiLoadsFailCleanlyOrPlay) {
  ASSERT_TRUE(kHeadless);
  if (access(JED_TEST_SOUNDFONT, R_OK) != 0) GTEST_SKIP() << "no General MIDI soundfont";
  ASSERT_EQ(MidiInit(), 1);
  // Two tracks (format 1): tempo, a sysex, running status, a pitch bend and a controller.
  const std::vector<uint8_t> tempo_track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xF0,
                                            0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xFF, 0x2F, 0x00};
  const std::vector<uint8_t> note_track = {0x00, 0xC0, 0x18, 0x00, 0x90, 0x40, 0x60, 0x10, 0x43, 0x60,
                                           0x10, 0xE0, 0x00, 0x50, 0x10, 0xB0, 0x07, 0x50, 0x30, 0x80,
                                           0x40, 0x00, 0x00, 0x43, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  std::vector<uint8_t> good = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96};
  for (const auto* track : {&tempo_track, &note_track}) {
    good.insert(good.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track->size())});
    good.insert(good.end(), track->begin(), track->end());
  }
  ASSERT_EQ(chdir(ScratchDir()), 0);
  Rand rand;
  int loaded = 0;
  for (int round = 0; round < 1500; ++round) {
    const std::string name = "jed_damaged" + std::to_string(round) + ".mid";
    WriteFile(name, Damage(good, rand));
    int id = MidiLoad(name.c_str());
    unlink(name.c_str());
    if (id < 0) {
      ASSERT_EQ(midi_table[0].state, MIDI_FREE);
      continue;
    }
    ++loaded;
    ASSERT_EQ(id, 0);
    MidiPlay(id);
    audio_test::Pull(256);
    MidiStatus(id);
    MidiDelete(id);
  }
  EXPECT_GT(loaded, 50);
  MidiShutdown();
}

}  // namespace
