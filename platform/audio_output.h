#pragma once
// Where the mixed output goes: the sound card through SDL, or a silent device that consumes it
// in real time. An output calls audio::MixOutput from its own thread.
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
std::unique_ptr<AudioOutput> StartSdlOutput();           // null without a usable sound card
std::unique_ptr<AudioOutput> StartSilentRealTimeOutput();

}  // namespace platform::audio
