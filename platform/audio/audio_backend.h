#pragma once
// The audio service's backend table, and where the mixed output goes. An output calls
// audio::MixOutput from its own thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
struct WaveOut;
}

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
// Mixes one wave-out that plays on a device of its own into `stereo` at that device's rate
// (silence once the wave-out is closed); called from the device's thread.
void MixOwnWaveOut(WaveOut* device, int16_t* stereo, size_t frames);

// Started outputs, or null when they cannot start.
std::unique_ptr<AudioOutput> StartSdlOutput();             // audio/sdl: null without a usable sound card
std::unique_ptr<AudioOutput> StartSilentRealTimeOutput();  // audio/silent
// audio/sdl: the machine's output devices by SDL's names (empty without SDL or a driver), and
// device `index` opened for `client` alone, stereo 16-bit at `rate` where the device accepts
// it (*obtained: the rate it plays at); null when it cannot open.
std::vector<std::string> ListSdlDevices();
std::unique_ptr<AudioOutput> OpenSdlDevice(uint32_t index, uint32_t rate, WaveOut* client, uint32_t* obtained);

struct AudioBackend {
  // Starts what consumes the mix. `real_time` is the consume switch of a backend that pulls.
  // Null: nothing consumes on its own and the caller pulls the mix (AudioPull).
  std::unique_ptr<AudioOutput> (*open_output)(bool real_time);
  // The caller may pull the mix and switch real-time consumption on and off; otherwise an
  // output always runs and the switch means nothing.
  bool pulls;
  // The devices a wave-out may choose besides the mixed output, and how to open one. Null:
  // the mixed output is the only device.
  std::vector<std::string> (*list_devices)();
  std::unique_ptr<AudioOutput> (*open_device)(uint32_t index, uint32_t rate, WaveOut* client, uint32_t* obtained);
};

extern const AudioBackend kSdlAudio;       // audio/sdl: the card, else the silent device
extern const AudioBackend kHeadlessAudio;  // audio/headless: pulled, or silent in real time

}  // namespace platform::audio
