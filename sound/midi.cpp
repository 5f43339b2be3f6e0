#include "sound/midi.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "platform/music.h"

MusicTrack midi_table[MIDI_TABLE_SIZE];
int midi_active_track = -1;

namespace {

bool midi_performance_ready = false;  // the synthesiser runs with its soundfont

bool ValidId(int id) { return id >= 0 && id < MIDI_TABLE_SIZE; }

bool IsFree(const MusicTrack& track) { return !track.segment || track.state == MIDI_FREE; }

void EmptyTable() {
  for (int i = 0; i < MIDI_TABLE_SIZE; ++i) midi_table[i] = MusicTrack{nullptr, 0, i, MIDI_FREE};
  midi_active_track = -1;
}

// The file as the loader finds it: by name in the working directory.
bool PathInWorkingDirectory(const char* filename, std::string* path) {
  if (filename[0] == '/') {
    *path = filename;
    return true;
  }
  char directory[PATH_MAX];
  if (!getcwd(directory, sizeof directory)) return false;
  *path = std::string(directory) + "/" + filename;
  return true;
}

}  // namespace

int MidiInit() {
  // A second call starts over: what the first one loaded is unloaded, not leaked. The
  // synthesiser and its soundfont stay.
  if (midi_performance_ready) {
    platform::MusicStopSegment(nullptr);
    MidiDeleteAll();
  }
  if (!platform::MusicInit()) return 0;
  midi_performance_ready = true;
  EmptyTable();
  return 1;
}

int MidiShutdown() {
  if (midi_performance_ready) platform::MusicStopSegment(nullptr);
  MidiDeleteAll();
  if (midi_performance_ready) platform::MusicShutdown();
  midi_performance_ready = false;
  midi_active_track = -1;
  return 1;
}

int MidiLoad(const char* filename) {
  int id = -1;
  for (int i = 0; i < MIDI_TABLE_SIZE && id < 0; ++i)
    if (midi_table[i].state == MIDI_FREE) id = i;
  if (id < 0 || !filename || !midi_performance_ready) return -1;
  std::string path;
  if (!PathInWorkingDirectory(filename, &path)) return -1;
  platform::MusicSegment* segment = platform::MusicLoadSegment(path);
  if (!segment) return -1;
  if (!platform::MusicDownloadSegment(segment)) {
    platform::MusicUnloadSegment(segment);  // a segment that cannot play is not kept
    return -1;
  }
  midi_table[id] = MusicTrack{segment, 0, id, MIDI_LOADED};
  return id;
}

int MidiPlay(int id) {
  if (!ValidId(id) || IsFree(midi_table[id])) return 0;
  if (midi_active_track != -1) MidiStop(midi_active_track);
  MusicTrack& track = midi_table[id];
  track.segment_state = platform::MusicPlaySegment(track.segment);
  track.state = MIDI_PLAYING;
  midi_active_track = id;
  return 1;
}

int MidiStop(int id) {
  if (!ValidId(id) || IsFree(midi_table[id])) return 0;
  platform::MusicStopSegment(midi_table[id].segment);
  midi_table[id].state = MIDI_STOPPED;
  midi_active_track = -1;
  return 1;
}

int MidiStatus(int id) {
  if (!ValidId(id) || IsFree(midi_table[id])) return 0;
  MusicTrack& track = midi_table[id];
  track.state = platform::MusicIsSegmentPlaying(track.segment) ? MIDI_PLAYING : MIDI_STOPPED;
  return track.state;
}

int MidiDelete(int id) {
  if (!ValidId(id)) return 0;
  MusicTrack& track = midi_table[id];
  if (!track.segment) return 1;
  // Unloading stops the track if it plays: the synthesiser must not read freed data.
  platform::MusicUnloadSegment(track.segment);
  if (midi_active_track == id) midi_active_track = -1;
  track.segment = nullptr;
  track.segment_state = 0;
  track.state = MIDI_FREE;
  return 1;
}

int MidiDeleteAll() {
  for (int id = 0; id < MIDI_TABLE_SIZE; ++id)
    if (midi_table[id].segment) MidiDelete(id);
  return 1;
}
