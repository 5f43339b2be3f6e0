#include "platform/audio/sdl/sdl_audio_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform::audio {
namespace {

template <class Function>
bool Resolve(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(library, name));
  return *function != nullptr;
}

const SdlAudioLibrary* Load() {
  // The versioned name: the one the runtime package installs. A program that links SDL itself
  // gets the copy it already has.
  void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  static SdlAudioLibrary sdl;
  if (Resolve(library, "SDL_InitSubSystem", &sdl.InitSubSystem) &&
      Resolve(library, "SDL_QuitSubSystem", &sdl.QuitSubSystem) &&
      Resolve(library, "SDL_GetCurrentAudioDriver", &sdl.GetCurrentAudioDriver) &&
      Resolve(library, "SDL_OpenAudioDevice", &sdl.OpenAudioDevice) &&
      Resolve(library, "SDL_CloseAudioDevice", &sdl.CloseAudioDevice) &&
      Resolve(library, "SDL_PauseAudioDevice", &sdl.PauseAudioDevice) &&
      Resolve(library, "SDL_GetNumAudioDevices", &sdl.GetNumAudioDevices) &&
      Resolve(library, "SDL_GetAudioDeviceName", &sdl.GetAudioDeviceName))
    return &sdl;
  std::fprintf(stderr, "libSDL2 lacks an audio function: %s\n", dlerror());
  return nullptr;  // never unloaded: other parts of the process may use it
}

}  // namespace

const SdlAudioLibrary* LoadSdlAudio() {
  static const SdlAudioLibrary* loaded = Load();
  return loaded;
}

}  // namespace platform::audio
