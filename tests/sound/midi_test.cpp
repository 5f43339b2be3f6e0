// The MIDI layer over FluidSynth, checked on the mixed output of the headless engine.
#include "sound/midi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/sound/wav_files.h"
#include "tests/support/audio_measure.h"

namespace {

using audio_test::Channel;
using audio_test::Pull;

const bool kHeadless = audio_test::ChooseTestBackend();

std::vector<uint8_t> BigEndian(uint32_t value, int bytes) {
  std::vector<uint8_t> out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back((value >> (8 * i)) & 0xFF);
  return out;
}

// A format-0 file, 96 ticks per quarter at the default 120 bpm: one note of half a second.
std::vector<uint8_t> OneNoteSong(uint8_t program, uint8_t note) {
  std::vector<uint8_t> track = {0x00, 0xC0, program,         // program change, channel 1
                                0x00, 0x90, note,    100,    // note on
                                0x60, note, 0,               // running status: note off (velocity 0) 96 ticks later
                                0x00, 0xFF, 0x2F,    0x00};  // end of track
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
  auto length = BigEndian(static_cast<uint32_t>(track.size()), 4);
  file.insert(file.end(), length.begin(), length.end());
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

class MidiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kHeadless);
    if (access(JED_TEST_SOUNDFONT, R_OK) != 0) GTEST_SKIP() << "no General MIDI soundfont";
    // Songs are loaded by bare name from the working directory.
    ASSERT_EQ(chdir(wav_test::ScratchDir()), 0);
    wav_test::WriteFile("jed_song_a.mid", OneNoteSong(0, 60));
    wav_test::WriteFile("jed_song_b.mid", OneNoteSong(40, 72));
    ASSERT_EQ(MidiInit(), 1);
  }
  void TearDown() override {
    MidiDeleteAll();
    MidiShutdown();
  }
  double Level(size_t frames) { return audio_test::Rms(Channel(Pull(frames), 0)); }
};

TEST_F(MidiTest, ASongPlaysAudiblyThenReportsStopped) {
  int id = MidiLoad("jed_song_a.mid");
  ASSERT_EQ(id, 0);
  EXPECT_EQ(midi_table[0].state, MIDI_LOADED);
  EXPECT_EQ(Level(4410), 0);  // loading makes no sound
  ASSERT_EQ(MidiPlay(id), 1);
  EXPECT_EQ(midi_active_track, 0);
  EXPECT_GT(Level(8820), 100);  // the first 0.2 s of the note
  EXPECT_EQ(MidiStatus(id), MIDI_PLAYING);
  Pull(44100);  // past the note's end
  EXPECT_EQ(MidiStatus(id), MIDI_STOPPED);
  EXPECT_EQ(midi_table[0].state, MIDI_STOPPED);
  // Played again, it starts from the beginning.
  ASSERT_EQ(MidiPlay(id), 1);
  EXPECT_EQ(MidiStatus(id), MIDI_PLAYING);
  EXPECT_GT(Level(4410), 100);
  ASSERT_EQ(MidiStop(id), 1);
  EXPECT_EQ(midi_active_track, -1);
  EXPECT_EQ(MidiStatus(id), MIDI_STOPPED);
  Pull(4410);
  EXPECT_EQ(Level(4410), 0);  // stop silences at once, no hanging note
}

TEST_F(MidiTest, PlayingASecondTrackStopsTheFirst) {
  int a = MidiLoad("jed_song_a.mid");
  int b = MidiLoad("jed_song_b.mid");
  ASSERT_EQ(b, 1);
  MidiPlay(a);
  Pull(2205);
  ASSERT_EQ(MidiPlay(b), 1);
  EXPECT_EQ(midi_table[a].state, MIDI_STOPPED);
  EXPECT_EQ(midi_active_track, b);
  EXPECT_EQ(MidiStatus(a), MIDI_STOPPED);
  EXPECT_EQ(MidiStatus(b), MIDI_PLAYING);
  EXPECT_GT(Level(4410), 100);
  // Deleting the playing track silences it and frees its slot.
  EXPECT_EQ(MidiDelete(b), 1);
  EXPECT_EQ(midi_table[b].state, MIDI_FREE);
  EXPECT_EQ(midi_table[b].segment, nullptr);
  EXPECT_EQ(MidiStatus(b), 0);
  Pull(4410);
  EXPECT_EQ(Level(4410), 0);
  EXPECT_EQ(MidiLoad("jed_song_b.mid"), b);  // the freed slot is taken again
}

TEST_F(MidiTest, TheTableHoldsSixtyFourTracks) {
  for (int i = 0; i < MIDI_TABLE_SIZE; ++i) ASSERT_EQ(MidiLoad("jed_song_a.mid"), i);
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), -1);
  EXPECT_EQ(MidiDeleteAll(), 1);
  for (const MusicTrack& track : midi_table) ASSERT_EQ(track.state, MIDI_FREE);
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), 0);
  // A second MidiInit empties the table again (and releases what it held).
  MidiPlay(0);
  EXPECT_EQ(MidiInit(), 1);
  EXPECT_EQ(midi_table[0].segment, nullptr);
  EXPECT_EQ(midi_active_track, -1);
  Pull(4410);
  EXPECT_EQ(Level(4410), 0);
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), 0);
}

TEST_F(MidiTest, FilesThatAreNotStandardMidiFilesFail) {
  auto good = OneNoteSong(0, 60);
  auto bad_header_length = good;
  bad_header_length[7] = 0xFF;
  auto track_past_end = good;
  track_past_end[21] = 0x40;
  auto no_running_status = good;
  no_running_status[22 + 3] = 0x40;  // a data byte where the first status belongs... after a delta
  no_running_status[22 + 1] = 0x40;
  auto unterminated_length = good;
  unterminated_length[22 + 11] = 0xFF;  // meta type, then a length that never ends
  unterminated_length[22 + 12] = 0xFF;
  unterminated_length[22 + 13] = 0xFF;
  auto no_tracks = std::vector<uint8_t>(good.begin(), good.begin() + 14);
  auto format_three = good;
  format_three[9] = 3;
  std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'R', 'M', 'I', 'D'};
  const std::vector<std::vector<uint8_t>> cases = {{},
                                                   {'M', 'T', 'h', 'd'},
                                                   bad_header_length,
                                                   track_past_end,
                                                   no_running_status,
                                                   unterminated_length,
                                                   no_tracks,
                                                   format_three,
                                                   riff,
                                                   std::vector<uint8_t>(good.begin(), good.end() - 3)};
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    wav_test::WriteFile("jed_bad.mid", cases[i]);
    EXPECT_EQ(MidiLoad("jed_bad.mid"), -1);
    EXPECT_EQ(midi_table[0].state, MIDI_FREE);
  }
  EXPECT_EQ(MidiLoad("jed_no_such_song.mid"), -1);
  EXPECT_EQ(MidiLoad(nullptr), -1);
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), 0);
}

TEST_F(MidiTest, FreeSlotsAndIdsOutsideTheTable) {
  EXPECT_EQ(MidiPlay(5), 0);
  EXPECT_EQ(MidiStop(5), 0);
  EXPECT_EQ(MidiStatus(5), 0);
  EXPECT_EQ(MidiDelete(5), 1);
  for (int bad : {-1, MIDI_TABLE_SIZE, 1 << 30}) {
    EXPECT_EQ(MidiPlay(bad), 0);
    EXPECT_EQ(MidiStop(bad), 0);
    EXPECT_EQ(MidiStatus(bad), 0);
    EXPECT_EQ(MidiDelete(bad), 0);
  }
}

TEST_F(MidiTest, WithoutASoundfontInitFailsAndTheRestDoesNothing) {
  MidiShutdown();
  setenv("JED_SOUNDFONT", "/nonexistent/none.sf2", 1);
  EXPECT_EQ(MidiInit(), 0);
  unsetenv("JED_SOUNDFONT");
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), -1);
  EXPECT_EQ(MidiPlay(0), 0);
  EXPECT_EQ(MidiStatus(0), 0);
  EXPECT_EQ(MidiShutdown(), 1);
  EXPECT_EQ(MidiInit(), 1);
  EXPECT_EQ(MidiLoad("jed_song_a.mid"), 0);
}

}  // namespace
