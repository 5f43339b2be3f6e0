#pragma once
// Sound and song files the audio benchmarks play, written to a temporary directory.
#include <cstdint>
#include <string>

namespace bench_audio {

// A PCM WAV of a decaying tone (`seconds` long); returns its path.
std::string WriteToneWav(const std::string& name, uint32_t rate, int channels, int bits, double seconds);

// A General MIDI song with drums, bass, chords and a melody (about 20 voices at once), looping
// `bars` bars at 120 bpm; returns its path.
std::string WriteBusySong(const std::string& name, int bars);

}  // namespace bench_audio
