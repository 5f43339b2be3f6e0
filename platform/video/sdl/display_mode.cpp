// Full screen (a borderless desktop-sized window) or a resizable window, switched by the player,
// and where the picture goes inside either.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/video.h"
#include "platform/video/sdl/sdl_desktop.h"

namespace platform {
namespace {
std::mutex mode_lock;
bool mode_given = false;
DisplayMode mode;
std::function<void(const DisplayMode&)> mode_observer;

bool WindowedByEnvironment() {
  const char* env = std::getenv("JED_WINDOWED");
  return env && *env && std::strcmp(env, "0") != 0;
}

void TellObserver() {
  std::function<void(const DisplayMode&)> observer;
  DisplayMode now;
  {
    std::lock_guard<std::mutex> guard(mode_lock);
    observer = mode_observer;
    now = mode;
  }
  if (observer) observer(now);
}

// Until the window manager has framed the window its frame is unknown: placed again as it shows,
// a few times at most, so a window the player moves afterwards stays where it was put.
bool awaiting_frame = false;
int placements_left = 0;
constexpr int kPlacementsWhileFraming = 3;

void PutWindow(SDL_Window* window, const DisplayMode& wanted) {
  if (wanted.fullscreen) {
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowBordered(window, SDL_TRUE);
  SDL_SetWindowResizable(window, SDL_TRUE);
  sdl::PutWindowOnDesktop(wanted.window_width, wanted.window_height);
}
}  // namespace

void SetDisplayMode(const DisplayMode& wanted) {
  DisplayMode checked = wanted;
  checked.window_width = std::max(checked.window_width, 1);
  checked.window_height = std::max(checked.window_height, 1);
  {
    std::lock_guard<std::mutex> guard(mode_lock);
    mode = checked;
    mode_given = true;
  }
  if (SDL_Window* window = sdl::GameSdlWindow()) PutWindow(window, checked);
}

DisplayMode CurrentDisplayMode() {
  std::lock_guard<std::mutex> guard(mode_lock);
  return mode;
}

void SetDisplayModeObserver(std::function<void(const DisplayMode&)> observer) {
  std::lock_guard<std::mutex> guard(mode_lock);
  mode_observer = std::move(observer);
}

namespace sdl {

void PutWindowOnDesktop(int width, int height) {
  placements_left = kPlacementsWhileFraming;
  PlaceOnDesktop(width, height);
}

void PlaceOnDesktop(int width, int height) {
  SDL_Window* window = GameSdlWindow();
  if (!window) return;
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &usable) != 0) {
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return;
  }
  WindowFrame frame;
  awaiting_frame =
      SDL_GetWindowBordersSize(window, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0 || frame.top <= 0;
  if (awaiting_frame) frame = {};
  const ShownArea place = PlaceWindow({usable.x, usable.y, usable.w, usable.h}, frame, width, height);
  SDL_SetWindowSize(window, place.width, place.height);
  SDL_SetWindowPosition(window, place.x, place.y);
}

Uint32 OpeningWindowFlags(int picture_width, int picture_height, int* width, int* height) {
  std::lock_guard<std::mutex> guard(mode_lock);
  if (!mode_given) {
    mode.window_width = picture_width * 2;
    mode.window_height = picture_height * 2;
  }
  if (WindowedByEnvironment()) mode.fullscreen = false;
  *width = mode.fullscreen ? picture_width : mode.window_width;
  *height = mode.fullscreen ? picture_height : mode.window_height;
  return mode.fullscreen ? (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS) : SDL_WINDOW_RESIZABLE;
}

void ToggleFullscreen() {
  SDL_Window* window = GameSdlWindow();
  if (!window) return;
  DisplayMode wanted;
  {
    std::lock_guard<std::mutex> guard(mode_lock);
    mode.fullscreen = !mode.fullscreen;
    wanted = mode;
  }
  PutWindow(window, wanted);
  TellObserver();
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
  SDL_Window* window = GameSdlWindow();
  const bool windowed = window && !(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
  if ((event.event == SDL_WINDOWEVENT_SHOWN || event.event == SDL_WINDOWEVENT_EXPOSED ||
       event.event == SDL_WINDOWEVENT_MOVED) &&
      windowed && awaiting_frame && placements_left > 0) {
    --placements_left;
    int width, height;
    SDL_GetWindowSize(window, &width, &height);
    PlaceOnDesktop(width, height);  // once the frame is known, the title bar too is on the desktop
  }
  if (event.event != SDL_WINDOWEVENT_SIZE_CHANGED) return;
  if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) return;
  {
    std::lock_guard<std::mutex> guard(mode_lock);
    if (mode.fullscreen || (mode.window_width == event.data1 && mode.window_height == event.data2)) return;
    mode.window_width = event.data1;
    mode.window_height = event.data2;
  }
  TellObserver();
  RefreshShownPicture();  // the letterbox follows the new size at once
}

}  // namespace sdl
}  // namespace platform
