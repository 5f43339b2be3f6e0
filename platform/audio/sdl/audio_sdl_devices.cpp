// The machine's output devices as SDL lists them (a USB DAC, HDMI, a headset...), and one
// wave-out played alone on a chosen one, at the stream's own rate where the device takes it,
// so that nothing resamples in between.
#include <mutex>

#include "platform/audio.h"
#include "platform/audio/audio_backend.h"
#include "platform/audio/sdl/sdl_audio_library.h"

namespace platform::audio {
namespace {

// SDL's audio start, listing and opening are not safe from several threads at once.
std::mutex& SdlLock() {
  static std::mutex lock;
  return lock;
}

class SdlDeviceOutput final : public AudioOutput {
 public:
  // Made once SDL's audio subsystem has started for it: this output ends it.
  SdlDeviceOutput(const SdlAudioLibrary& sdl, WaveOut* client) : sdl_(sdl), client_(client) {}
  ~SdlDeviceOutput() override { Stop(); }

  bool Open(const char* name, uint32_t rate, uint32_t* obtained) {
    SDL_AudioSpec want = OutputSpec(static_cast<int>(rate), &SdlDeviceOutput::Callback, this);
    SDL_AudioSpec have{};
    device_ = sdl_.OpenAudioDevice(name, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!device_) return false;
    *obtained = have.freq > 0 ? static_cast<uint32_t>(have.freq) : rate;
    sdl_.PauseAudioDevice(device_, 0);
    return true;
  }
  void Stop() override {
    std::lock_guard<std::mutex> hold(SdlLock());
    if (device_) sdl_.CloseAudioDevice(device_);  // waits for a running callback
    device_ = 0;
    if (started_) sdl_.QuitSubSystem(SDL_INIT_AUDIO);
    started_ = false;
  }
  const char* Name() const override { return "sdl device"; }

 private:
  static void Callback(void* self, Uint8* stream, int bytes) {
    MixOwnWaveOut(static_cast<SdlDeviceOutput*>(self)->client_, reinterpret_cast<int16_t*>(stream),
                  static_cast<size_t>(bytes) / (2 * kAudioOutputChannels));
  }

  const SdlAudioLibrary& sdl_;
  WaveOut* client_;
  SDL_AudioDeviceID device_ = 0;
  bool started_ = true;
};

}  // namespace

std::vector<std::string> ListSdlDevices() {
  const SdlAudioLibrary* sdl = LoadSdlAudio();
  if (!sdl) return {};
  std::lock_guard<std::mutex> hold(SdlLock());
  if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) return {};
  std::vector<std::string> names;
  const int count = sdl->GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = sdl->GetAudioDeviceName(i, 0);
    names.emplace_back(name ? name : "");
  }
  sdl->QuitSubSystem(SDL_INIT_AUDIO);
  return names;
}

std::unique_ptr<AudioOutput> OpenSdlDevice(uint32_t index, uint32_t rate, WaveOut* client, uint32_t* obtained) {
  const SdlAudioLibrary* sdl = LoadSdlAudio();
  if (!sdl) return nullptr;
  std::unique_ptr<SdlDeviceOutput> output;
  {
    std::lock_guard<std::mutex> hold(SdlLock());
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    output = std::make_unique<SdlDeviceOutput>(*sdl, client);
    // The index is SDL's, taken afresh: devices come and go between listing and opening.
    const int count = sdl->GetNumAudioDevices(0);
    const char* name = count > 0 && index < static_cast<uint32_t>(count)
                           ? sdl->GetAudioDeviceName(static_cast<int>(index), 0)
                           : nullptr;
    if (name && output->Open(name, rate, obtained)) return output;
  }
  return nullptr;  // the output ends SDL's audio again, outside the lock
}

}  // namespace platform::audio
