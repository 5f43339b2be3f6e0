#pragma once
// SDL2's audio functions, loaded from libSDL2 at run time when a device is first opened, so a
// program that only decodes never maps SDL and the library runs where SDL is not installed.
#include <SDL.h>

namespace platform::audio {

struct SdlAudioLibrary {
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
};

// Loads the library once (it stays loaded); null when it or one of its functions is missing.
const SdlAudioLibrary* LoadSdlAudio();

}  // namespace platform::audio
