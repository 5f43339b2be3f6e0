#include "tools/dar3play/sound_device.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

bool IsSilentDriver(const char* name) {
  return name && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "disk") == 0);
}

}  // namespace

namespace {

// The sound system's own complaints about missing cards would bury dar3play's one line.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      dup2(null, STDERR_FILENO);
      close(null);
    }
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

}  // namespace

SoundOutput CheckSoundOutput() {
  // The headless backend plays only what a host pulls from it; nobody does here.
  const char* headless = std::getenv("JED_HEADLESS");
  if (headless && *headless && std::strcmp(headless, "0") != 0) return SoundOutput::kNone;
  if (IsSilentDriver(std::getenv("SDL_AUDIODRIVER"))) return SoundOutput::kSilentAsked;
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return SoundOutput::kNone;
  SoundOutput found = SoundOutput::kNone;
  if (!IsSilentDriver(SDL_GetCurrentAudioDriver())) {
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device != 0) {
      SDL_CloseAudioDevice(device);
      found = SoundOutput::kCard;
    }
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return found;
}

void SelectSilentOutput() {
  // The desktop backend's silent device keeps time; the headless one would wait to be pulled.
  setenv("JED_HEADLESS", "0", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}
