#pragma once
// The MIDI layer: up to 64 standard MIDI files loaded as segments of the music synthesiser,
// one playing at a time. Called from the game's thread only.
#include <cstdint>

namespace platform {
struct MusicSegment;
}

constexpr int MIDI_TABLE_SIZE = 64;

constexpr int MIDI_FREE = 0;
constexpr int MIDI_LOADED = 1;
constexpr int MIDI_PLAYING = 2;
constexpr int MIDI_STOPPED = 3;

struct MusicTrack {
  platform::MusicSegment* segment;  // null when free
  uint32_t segment_state;           // play number of the last play, 0 for none
  int32_t id;                       // the slot's own index
  int32_t state;                    // MIDI_FREE .. MIDI_STOPPED
};

extern MusicTrack midi_table[MIDI_TABLE_SIZE];
extern int midi_active_track;  // -1 when none

int MidiInit();                      // 1, or 0 when the synthesiser or its soundfont fails
int MidiShutdown();                  // 1
int MidiLoad(const char* filename);  // from the working directory: the track id, or -1
int MidiPlay(int id);                // from the start, stopping the active track: 1, or 0 if free
int MidiStop(int id);                // 1, or 0 if free
int MidiStatus(int id);              // MIDI_PLAYING or MIDI_STOPPED (stored), or 0 if free
int MidiDelete(int id);              // 1
int MidiDeleteAll();                 // 1
