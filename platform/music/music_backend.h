#pragma once
// The music service's backend: a synthesiser that plays one loaded MIDI file at a time into the
// audio engine (it is an audio source). Every call is thread-safe.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio.h"

namespace platform {

struct MusicSegment {
  std::vector<uint8_t> bytes;  // a checked standard MIDI file
};

class MusicSynthesizer : public AudioSource {
 public:
  // Loads the instruments; false when they cannot be had. A second call keeps them.
  virtual bool Start() = 0;
  // Ends the song and frees every adopted segment and the instruments.
  virtual void Stop() = 0;
  virtual bool Ready() = 0;
  // Takes ownership of a loaded segment and returns it.
  virtual MusicSegment* Adopt(std::unique_ptr<MusicSegment> segment) = 0;
  virtual bool Download(MusicSegment* segment) = 0;
  // A non-zero play number, 0 on failure.
  virtual uint32_t Play(MusicSegment* segment) = 0;
  virtual bool StopSong(MusicSegment* segment) = 0;  // null: any song
  virtual bool IsPlaying(MusicSegment* segment) = 0;
  virtual void Unload(MusicSegment* segment) = 0;
};

MusicSynthesizer& FluidSynthesizer();  // music/fluidsynth

}  // namespace platform
