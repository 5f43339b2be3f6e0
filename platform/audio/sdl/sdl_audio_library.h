#pragma once
// SDL2's audio functions, loaded from libSDL2 at run time when a device is first opened, so a
// program that only decodes never maps SDL and the library runs where SDL is not installed.
#include <SDL.h>

#include "platform/audio.h"

namespace platform::audio {

struct SdlAudioLibrary {
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_GetNumAudioDevices) GetNumAudioDevices;
  decltype(&SDL_GetAudioDeviceName) GetAudioDeviceName;
};

// What our outputs ask of a device: signed 16-bit stereo at `rate`, a small buffer.
inline SDL_AudioSpec OutputSpec(int rate, SDL_AudioCallback callback, void* userdata) {
  SDL_AudioSpec want{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(kAudioOutputChannels);
  want.samples = static_cast<Uint16>(kAudioDeviceBufferFrames);
  want.callback = callback;
  want.userdata = userdata;
  return want;
}

// Loads the library once (it stays loaded); null when it or one of its functions is missing.
const SdlAudioLibrary* LoadSdlAudio();

}  // namespace platform::audio
