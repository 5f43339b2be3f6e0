// Full screen (a borderless desktop-sized window) or a resizable window, switched by the player,
// and where the picture goes inside either.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/video/sdl/sdl_desktop.h"
#include "platform/video.h"

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

void PutWindow(SDL_Window* window, const DisplayMode& wanted) {
  if (wanted.fullscreen) {
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowBordered(window, SDL_TRUE);
  SDL_SetWindowResizable(window, SDL_TRUE);
  SDL_SetWindowSize(window, wanted.window_width, wanted.window_height);
  SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
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

ShownArea PictureArea(int out_w, int out_h, int w, int h) {
  if (w <= 0 || h <= 0 || out_w <= 0 || out_h <= 0) return {0, 0, std::max(w, 0), std::max(h, 0)};
  int shown_w, shown_h;
  if (out_w >= w && out_h >= h) {
    const int scale = std::min(out_w / w, out_h / h);
    shown_w = w * scale;
    shown_h = h * scale;
  } else if (static_cast<int64_t>(out_w) * h <= static_cast<int64_t>(out_h) * w) {
    shown_w = out_w;  // width is the tighter side
    shown_h = std::max(1, static_cast<int>(static_cast<int64_t>(out_w) * h / w));
  } else {
    shown_h = out_h;
    shown_w = std::max(1, static_cast<int>(static_cast<int64_t>(out_h) * w / h));
  }
  return {(out_w - shown_w) / 2, (out_h - shown_h) / 2, shown_w, shown_h};
}

namespace sdl {

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
  if (event.event != SDL_WINDOWEVENT_SIZE_CHANGED) return;
  SDL_Window* window = GameSdlWindow();
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
