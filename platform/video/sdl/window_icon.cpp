// The window's icon: kept as given and put on the game window when it opens.
#include <mutex>

#include "platform/video/sdl/sdl_desktop.h"

namespace platform {
namespace {
std::mutex icon_lock;
Frame icon;
}  // namespace

void SetWindowIcon(const Frame& picture) {
  {
    std::lock_guard<std::mutex> guard(icon_lock);
    icon = picture;
  }
  sdl::ApplyWindowIcon();
}

void sdl::ApplyWindowIcon() {
  SDL_Window* window = GameSdlWindow();
  std::lock_guard<std::mutex> guard(icon_lock);
  if (!window || icon.width <= 0 || icon.height <= 0 ||
      icon.rgb.size() != static_cast<size_t>(icon.width) * icon.height * 3)
    return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.rgb.data(), icon.width, icon.height, 24,
                                                            icon.width * 3, SDL_PIXELFORMAT_RGB24);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

}  // namespace platform
