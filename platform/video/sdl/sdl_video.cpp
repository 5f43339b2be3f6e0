// The SDL2 window: one borderless desktop-sized window showing the 640 x 480 picture scaled
// by a whole factor, letterboxed, nearest-neighbour. JED_WINDOWED=1 (or the display mode set
// before) opens a resizable window of twice the size instead.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/video/present.h"
#include "platform/video/sdl/sdl_desktop.h"
#include "platform/video/video_backend.h"

namespace platform {
namespace {
SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
int picture_width = 0, picture_height = 0;
SDL_Rect shown_area{};
std::mutex sdl_lock;

SDL_Rect Letterbox(int out_w, int out_h, int w, int h) {
  const ShownArea area = PictureArea(out_w, out_h, w, h);
  return {area.x, area.y, area.width, area.height};
}

bool EnsureTexture(int w, int h) {
  if (texture && w == picture_width && h == picture_height) return true;
  if (texture) SDL_DestroyTexture(texture);
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
  picture_width = w;
  picture_height = h;
  return texture != nullptr;
}

bool OpenSdlWindow(const char* title, int width, int height) {
  if (window) return true;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Cannot start the display: %s\n", SDL_GetError());
    return false;
  }
  int window_width, window_height;
  const Uint32 flags = sdl::OpeningWindowFlags(width, height, &window_width, &window_height);
  window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, window_width, window_height, flags);
  if (!window) {
    std::fprintf(stderr, "Cannot open the window: %s\n", SDL_GetError());
    return false;
  }
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    std::fprintf(stderr, "Cannot draw in the window: %s\n", SDL_GetError());
    SDL_DestroyWindow(window);
    window = nullptr;
    return false;
  }
  // No vsync: the game's frame clock paces the frames, and SDL offers no wait for the vertical
  // blank without presenting, so WaitForVerticalBlank is a no-op on this backend.
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderPresent(renderer);
  sdl::StartGamepads();
  return true;
}

void ShowPicture(const Surface* surface, const Palette* palette) {
  std::lock_guard<std::mutex> guard(sdl_lock);
  if (!renderer || !EnsureTexture(surface->width(), surface->height())) return;
  void* memory;
  int pitch;
  if (SDL_LockTexture(texture, nullptr, &memory, &pitch) != 0) return;
  if (surface->bits_per_pixel() == 8) {
    uint32_t lut[256] = {};
    if (palette)
      for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries()[i];
        lut[i] = 0xFF000000u | (uint32_t(e.red) << 16) | (uint32_t(e.green) << 8) | e.blue;
      }
    for (int y = 0; y < surface->height(); ++y) {
      const uint8_t* in = surface->pixels() + static_cast<size_t>(y) * surface->pitch();
      auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(memory) + static_cast<size_t>(y) * pitch);
      for (int x = 0; x < surface->width(); ++x) out[x] = lut[in[x]];
    }
  } else {
    for (int y = 0; y < surface->height(); ++y) {
      const auto* in = reinterpret_cast<const uint16_t*>(surface->pixels() + static_cast<size_t>(y) * surface->pitch());
      auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(memory) + static_cast<size_t>(y) * pitch);
      for (int x = 0; x < surface->width(); ++x) {
        uint16_t p = in[x];
        uint32_t r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 255 / 63, b = (p & 31) * 255 / 31;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
      }
    }
  }
  SDL_UnlockTexture(texture);
  int out_w, out_h;
  SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
  shown_area = Letterbox(out_w, out_h, surface->width(), surface->height());
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, &shown_area);
  SDL_RenderPresent(renderer);
}

bool ReadScreen(Frame* frame) {
  std::lock_guard<std::mutex> guard(sdl_lock);
  if (!renderer || picture_width == 0) return false;
  // The back buffer is undefined after a present: draw the picture again, read it back scaled,
  // and sample one pixel per picture pixel.
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, &shown_area);
  std::vector<uint32_t> shown(static_cast<size_t>(shown_area.w) * shown_area.h);
  if (SDL_RenderReadPixels(renderer, &shown_area, SDL_PIXELFORMAT_ARGB8888, shown.data(), shown_area.w * 4) != 0)
    return false;
  frame->width = picture_width;
  frame->height = picture_height;
  frame->rgb.resize(static_cast<size_t>(picture_width) * picture_height * 3);
  for (int y = 0; y < picture_height; ++y)
    for (int x = 0; x < picture_width; ++x) {
      // One sample per picture pixel, whether the window shows it larger or smaller.
      const size_t row = static_cast<size_t>(y) * shown_area.h / picture_height;
      const size_t column = static_cast<size_t>(x) * shown_area.w / picture_width;
      uint32_t p = shown[row * shown_area.w + column];
      uint8_t* out = &frame->rgb[(static_cast<size_t>(y) * picture_width + x) * 3];
      out[0] = (p >> 16) & 255;
      out[1] = (p >> 8) & 255;
      out[2] = p & 255;
    }
  return true;
}

void PumpSdlEvents() {
  if (!window) return;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    if (event.type == SDL_QUIT) RequestQuit();
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) RequestQuit();
    sdl::HandleDesktopEvent(event);
  }
}

bool SdlKeyHeld(Key key) {
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  if (!state) return false;
  return sdl::KeyboardHeld(key, state) || sdl::PadHeld(key);
}

int SdlShowCursor(bool show) {
  if (!window) return show ? 0 : -1;
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  return show ? 0 : -1;
}
}  // namespace

SDL_Window* sdl::GameSdlWindow() { return window; }

const VideoBackend kSdlVideo{OpenSdlWindow, ShowPicture, ReadScreen, PumpSdlEvents, SdlKeyHeld, SdlShowCursor};

}  // namespace platform
