#include <SDL.h>

#include <cstdlib>

#include "platform/video/video_backend.h"

namespace platform {

bool SdlShowErrorBox(const char* title, const char* text) {
  // Without a display the caller's printed line is all there is (and SDL is not asked, since
  // its probing prints complaints of its own).
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return false;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // Over the game's window when there is one, so a full-screen window does not hide it.
  const bool shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, SDL_GetKeyboardFocus()) == 0;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return shown;
}

}  // namespace platform
