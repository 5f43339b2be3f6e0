#pragma once
// The audio service's backend table, and where the mixed output goes. An output calls
// audio::MixOutput from its own thread.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::audio {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Stops calling MixOutput; once this returns no mix is running.
  virtual void Stop() = 0;
  virtual const char* Name() const = 0;
};

// Mixes `frames` frames of 44100 Hz stereo 16-bit output (defined by the engine).
void MixOutput(int16_t* stereo, size_t frames);

// Started outputs, or null when they cannot start.
std::unique_ptr<AudioOutput> StartSdlOutput();           // audio/sdl: null without a usable sound card
std::unique_ptr<AudioOutput> StartSilentRealTimeOutput(); // audio/silent

struct AudioBackend {
  // Starts what consumes the mix. `real_time` is the consume switch of a backend that pulls.
  // Null: nothing consumes on its own and the caller pulls the mix (AudioPull).
  std::unique_ptr<AudioOutput> (*open_output)(bool real_time);
  // The caller may pull the mix and switch real-time consumption on and off; otherwise an
  // output always runs and the switch means nothing.
  bool pulls;
};

extern const AudioBackend kSdlAudio;       // audio/sdl: the card, else the silent device
extern const AudioBackend kHeadlessAudio;  // audio/headless: pulled, or silent in real time

}  // namespace platform::audio
