// The sound card through SDL2 audio: 44100 Hz, stereo, signed 16-bit, a small device buffer.
// SDL converts when the card wants another format. SDL is loaded when the first device opens.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/audio.h"
#include "platform/audio/audio_backend.h"
#include "platform/audio/sdl/sdl_audio_library.h"

namespace platform::audio {
namespace {

bool IsSilentDriver(const char* name) {
  return name && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "disk") == 0);
}

class SdlOutput : public AudioOutput {
 public:
  SdlOutput(const SdlAudioLibrary& sdl, SDL_AudioDeviceID device) : sdl_(sdl), device_(device) {}
  ~SdlOutput() override { SdlOutput::Stop(); }
  void Stop() override {
    if (!device_) return;
    sdl_.CloseAudioDevice(device_);  // waits for a running callback
    device_ = 0;
    sdl_.QuitSubSystem(SDL_INIT_AUDIO);
  }
  const char* Name() const override { return "sdl"; }

  static void Callback(void*, Uint8* stream, int bytes) {
    MixOutput(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / (2 * kAudioOutputChannels));
  }

 private:
  const SdlAudioLibrary& sdl_;
  SDL_AudioDeviceID device_;
};

}  // namespace

std::unique_ptr<AudioOutput> StartSdlOutput() {
  // The dummy and disk drivers are no card: the silent device does that job on schedule.
  if (IsSilentDriver(std::getenv("SDL_AUDIODRIVER"))) return nullptr;
  const SdlAudioLibrary* library = LoadSdlAudio();
  if (!library) return nullptr;
  const SdlAudioLibrary& sdl = *library;
  if (sdl.InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  if (IsSilentDriver(sdl.GetCurrentAudioDriver())) {
    sdl.QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_AudioSpec want = OutputSpec(static_cast<int>(kAudioOutputRate), &SdlOutput::Callback, nullptr);
  SDL_AudioSpec have{};
  SDL_AudioDeviceID device = sdl.OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    sdl.QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  auto output = std::make_unique<SdlOutput>(sdl, device);
  sdl.PauseAudioDevice(device, 0);
  return output;
}

namespace {
// Without a usable card the silent device consumes the mix on schedule, so nothing waiting on
// playback hangs.
std::unique_ptr<AudioOutput> OpenCardOrSilent(bool) {
  std::unique_ptr<AudioOutput> card = StartSdlOutput();
  return card ? std::move(card) : StartSilentRealTimeOutput();
}
}  // namespace

const AudioBackend kSdlAudio{OpenCardOrSilent, false, ListSdlDevices, OpenSdlDevice};

}  // namespace platform::audio
