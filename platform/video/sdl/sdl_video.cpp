// The SDL2 window: one borderless desktop-sized window showing the 640 x 480 picture as the
// scaling setting says (fit by default: as large as the screen allows, enlarged by a whole factor
// nearest-neighbour and then smoothly to the last pixel). JED_WINDOWED=1 (or the display mode set
// before) opens a resizable window of twice the size instead, never larger than the desktop.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/video/present.h"
#include "platform/video/sdl/sdl_desktop.h"
#include "platform/video/video_backend.h"

namespace platform {
namespace {
SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
SDL_Texture* prescaled = nullptr;  // the picture enlarged by a whole factor, smoothed from there
int prescaled_width = 0, prescaled_height = 0;
int picture_width = 0, picture_height = 0;
SDL_Rect shown_area{};
std::vector<uint32_t> shown_pixels;  // the last picture as the game drew it, for captures
std::mutex sdl_lock;

SDL_Rect Letterbox(int out_w, int out_h, int w, int h) {
  const ShownArea area = PictureArea(out_w, out_h, w, h, CurrentDisplayMode().scaling);
  return {area.x, area.y, area.width, area.height};
}

// A texture of the size, made again only when the size changes.
bool EnsureSized(SDL_Texture** made, int* made_w, int* made_h, int access, int w, int h) {
  if (*made && w == *made_w && h == *made_h) return true;
  if (*made) SDL_DestroyTexture(*made);
  *made = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, access, w, h);
  *made_w = w;
  *made_h = h;
  return *made != nullptr;
}

bool EnsurePrescaled(int w, int h) {
  return EnsureSized(&prescaled, &prescaled_width, &prescaled_height, SDL_TEXTUREACCESS_TARGET, w, h) &&
         SDL_SetTextureScaleMode(prescaled, SDL_ScaleModeLinear) == 0;
}

// A whole factor stays nearest-neighbour all the way; any other size goes through the whole-factor
// enlargement so the smooth step blurs at most one screen pixel per picture pixel.
void DrawPicture() {
  SDL_RenderClear(renderer);
  const ShownArea area{shown_area.x, shown_area.y, shown_area.w, shown_area.h};
  const int factor = SharpPrescale(area, picture_width, picture_height);
  const bool whole = area.width == picture_width * factor && area.height == picture_height * factor;
  if (whole || !EnsurePrescaled(picture_width * factor, picture_height * factor) ||
      SDL_SetRenderTarget(renderer, prescaled) != 0) {
    SDL_RenderCopy(renderer, texture, nullptr, &shown_area);
    return;
  }
  SDL_RenderCopy(renderer, texture, nullptr, nullptr);
  SDL_SetRenderTarget(renderer, nullptr);
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, prescaled, nullptr, &shown_area);
}

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Without a display server SDL ends in its offscreen driver, which shows nothing: a driver is
// only taken without a server when asked for by name (SDL_VIDEODRIVER).
bool NoDisplay() { return !Named("SDL_VIDEODRIVER") && !Named("DISPLAY") && !Named("WAYLAND_DISPLAY"); }

bool InvisibleDriver() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || Named("SDL_VIDEODRIVER")) return false;
  return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

constexpr const char* kNoDisplay =
    "Cannot start the display: no display to show the window on (DISPLAY and WAYLAND_DISPLAY name none; "
    "JED_HEADLESS=1 runs without one)\n";

bool EnsureTexture(int w, int h) {
  return EnsureSized(&texture, &picture_width, &picture_height, SDL_TEXTUREACCESS_STREAMING, w, h);
}

bool OpenSdlWindow(const char* title, int width, int height) {
  if (window) return true;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (NoDisplay()) {
    std::fputs(kNoDisplay, stderr);
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Cannot start the display: %s\n", SDL_GetError());
    return false;
  }
  if (InvisibleDriver()) {
    std::fputs(kNoDisplay, stderr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return false;
  }
  int window_width, window_height;
  const Uint32 flags = sdl::OpeningWindowFlags(width, height, &window_width, &window_height);
  window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, window_width, window_height, flags);
  if (!window) {
    std::fprintf(stderr, "Cannot open the window: %s\n", SDL_GetError());
    return false;
  }
  sdl::ApplyWindowIcon();
  if (!(flags & SDL_WINDOW_FULLSCREEN_DESKTOP)) sdl::PutWindowOnDesktop(window_width, window_height);
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
  const int w = surface->width(), h = surface->height();
  shown_pixels.resize(static_cast<size_t>(w) * h);
  if (surface->bits_per_pixel() == 8) {
    uint32_t lut[256] = {};
    if (palette)
      for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries()[i];
        lut[i] = 0xFF000000u | (uint32_t(e.red) << 16) | (uint32_t(e.green) << 8) | e.blue;
      }
    for (int y = 0; y < h; ++y) {
      const uint8_t* in = surface->pixels() + static_cast<size_t>(y) * surface->pitch();
      uint32_t* out = &shown_pixels[static_cast<size_t>(y) * w];
      for (int x = 0; x < w; ++x) out[x] = lut[in[x]];
    }
  } else {
    for (int y = 0; y < h; ++y) {
      const auto* in = reinterpret_cast<const uint16_t*>(surface->pixels() + static_cast<size_t>(y) * surface->pitch());
      uint32_t* out = &shown_pixels[static_cast<size_t>(y) * w];
      for (int x = 0; x < w; ++x) {
        uint16_t p = in[x];
        uint32_t r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 255 / 63, b = (p & 31) * 255 / 31;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
      }
    }
  }
  if (SDL_UpdateTexture(texture, nullptr, shown_pixels.data(), w * 4) != 0) return;
  int out_w, out_h;
  SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
  shown_area = Letterbox(out_w, out_h, surface->width(), surface->height());
  DrawPicture();
  SDL_RenderPresent(renderer);
}

bool ReadScreen(Frame* frame) {
  std::lock_guard<std::mutex> guard(sdl_lock);
  if (!renderer || picture_width == 0 || shown_pixels.size() != static_cast<size_t>(picture_width) * picture_height)
    return false;
  frame->width = picture_width;
  frame->height = picture_height;
  frame->rgb.resize(shown_pixels.size() * 3);
  for (size_t i = 0; i < shown_pixels.size(); ++i) {
    frame->rgb[i * 3] = (shown_pixels[i] >> 16) & 255;
    frame->rgb[i * 3 + 1] = (shown_pixels[i] >> 8) & 255;
    frame->rgb[i * 3 + 2] = shown_pixels[i] & 255;
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

const VideoBackend kSdlVideo{OpenSdlWindow, ShowPicture,   ReadScreen,     PumpSdlEvents,
                             SdlKeyHeld,    SdlShowCursor, SdlShowErrorBox};

}  // namespace platform
