#pragma once
// The music synthesiser: standard MIDI files rendered by FluidSynth with a General MIDI
// soundfont into the audio engine, one song at a time. Thread-safe.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

struct MusicSegment;  // one loaded MIDI file

// Starts the synthesiser with the soundfont (JED_SOUNDFONT in the environment, else the system
// General MIDI soundfont). False when no soundfont loads; everything else then fails quietly.
// A second call keeps the synthesiser running.
bool MusicInit();
// Stops the song, frees every segment still loaded and the synthesiser.
void MusicShutdown();
bool MusicReady();

// True when `bytes` hold a well-formed standard MIDI file (header, tracks, events).
bool IsStandardMidiFile(const uint8_t* bytes, size_t size);

// Reads and checks a standard MIDI file; null when missing, unreadable or malformed.
MusicSegment* MusicLoadSegment(const std::string& path);
// Makes sure the soundfont's instruments are in place for the segment. False without a synth.
bool MusicDownloadSegment(MusicSegment* segment);
// Plays the segment from its start, ending whatever played before. Returns a non-zero play
// number (0 on failure).
uint32_t MusicPlaySegment(MusicSegment* segment);
// Stops the segment if it is the one playing; null stops any song.
bool MusicStopSegment(MusicSegment* segment);
// True while the segment is the one playing and has not reached its end.
bool MusicIsSegmentPlaying(MusicSegment* segment);
// Stops it if it plays and frees it.
void MusicUnloadSegment(MusicSegment* segment);

}  // namespace platform
