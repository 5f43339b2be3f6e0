// Display set-up, surfaces, clippers, flip, fills and locks.
#include "display/display.h"

#include <cstring>

#include "display/error_log.h"
#include "platform/window.h"

int32_t screen_width = 640;
int32_t screen_height = 480;
int32_t screen_bpp = 8;
int32_t pixel_format = 16;
int32_t windowed = 0;
int32_t clip_left = 0, clip_top = 0, clip_right = 639, clip_bottom = 479;
DisplaySurface* primary_surface = nullptr;
DisplaySurface* back_surface = nullptr;
platform::Display* display_object = nullptr;
platform::Palette* display_palette = nullptr;
platform::Clipper* back_clipper = nullptr;
platform::Clipper* window_clipper = nullptr;
uint8_t* primary_buffer = nullptr;
uint8_t* back_buffer = nullptr;
int32_t primary_pitch = 0, back_pitch = 0;
int32_t window_offset_x = 0, window_offset_y = 0;
uint16_t (*rgb16_packer)(uint32_t r, uint32_t g, uint32_t b) = nullptr;
PALETTEENTRY shadow_palette[256] = {};

namespace {
// A lost display makes every flip fail; give up after a few tries instead of hanging.
constexpr int kFlipAttempts = 4;

template <typename T>
void ReleaseGlobal(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Releases what an earlier DisplayInit made. Surfaces, palettes and clippers are reference
// counted, so sprite frames and pictures made earlier stay valid.
void ReleaseDisplayObjects() {
  if (primary_buffer && primary_surface) primary_surface->Unlock();
  if (back_buffer && back_surface) back_surface->Unlock();
  primary_buffer = back_buffer = nullptr;
  primary_pitch = back_pitch = 0;
  ReleaseGlobal(back_clipper);
  ReleaseGlobal(window_clipper);
  ReleaseGlobal(display_palette);
  ReleaseGlobal(back_surface);
  ReleaseGlobal(primary_surface);
  ReleaseGlobal(display_object);
}
}  // namespace

int DisplayInit(int32_t width, int32_t height, int32_t bpp, int32_t windowed_mode) {
  ReleaseDisplayObjects();
  display_object = platform::Display::Create();
  if (!display_object) return 0;
  if (!display_object->SetCooperativeLevel(windowed_mode == 0)) return 0;
  if (!display_object->SetDisplayMode(width, height, bpp)) return 0;

  screen_width = width;
  screen_height = height;
  screen_bpp = bpp;
  windowed = windowed_mode;

  primary_surface = display_object->CreatePrimary(windowed ? 0 : 1);
  if (!primary_surface) return 0;

  pixel_format = platform::SurfacePixelFormatBits(primary_surface);
  ErrorLogWrite("\npixel format = %d", pixel_format);
  if (pixel_format == 15) {
    rgb16_packer = PackRgb555;
    ErrorLogWrite("\npixel format = 5.5.5");
  } else {
    rgb16_packer = PackRgb565;
    ErrorLogWrite("\npixel format = 5.6.5");
  }

  if (!windowed) {
    back_surface = primary_surface->attached_back();
    if (!back_surface) return 0;
    back_surface->AddRef();  // GetAttachedSurface hands out a reference
  } else {
    back_surface = CreateOffscreenSurface(width, height, 0, 0);
    if (!back_surface) return 0;
  }

  if (screen_bpp == 8) {
    std::memset(shadow_palette, 0, sizeof(shadow_palette));
    LoadPaletteFile("PALDATA2.PAL", shadow_palette);
    if (windowed) {
      for (int i = 0; i < 10; ++i) shadow_palette[i].flags = PC_EXPLICIT;
      for (int i = 246; i < 256; ++i) shadow_palette[i].flags = PC_EXPLICIT;
    }
    display_palette = platform::Palette::Create(shadow_palette);
    if (!display_palette) return 0;
    primary_surface->SetPalette(display_palette);
  }

  if (!windowed) FillSurface(primary_surface, 0, nullptr);
  FillSurface(back_surface, 0, nullptr);

  clip_left = 0;
  clip_right = screen_width - 1;
  clip_top = 0;
  clip_bottom = screen_height - 1;

  RECT whole{0, 0, screen_width, screen_height};
  back_clipper = AttachClipper(back_surface, 1, &whole);

  if (windowed) {
    window_clipper = platform::Clipper::Create();
    if (!window_clipper) return 0;
    window_clipper->SetWindowBound(true);
    primary_surface->SetClipper(window_clipper);
  }
  return 1;
}

int DisplayShutdown() {
  ReleaseDisplayObjects();
  return 1;
}

DisplaySurface* CreateOffscreenSurface(int32_t width, int32_t height, uint32_t, uint16_t color_key) {
  if (!display_object) return nullptr;
  DisplaySurface* surface = display_object->CreateOffscreen(width, height);
  if (!surface) return nullptr;
  surface->SetColorKey(color_key, color_key);
  return surface;
}

platform::Clipper* AttachClipper(DisplaySurface* surface, int32_t count, const RECT* rectangles) {
  if (!surface || count < 0 || (count > 0 && !rectangles)) return nullptr;
  platform::Clipper* clipper = platform::Clipper::Create();
  if (!clipper) return nullptr;
  // The region's bounding rectangle is derived by the clipper from the list itself.
  clipper->SetClipList(rectangles, count);
  surface->SetClipper(clipper);
  return clipper;
}

int FlipDisplay() {
  if (primary_buffer || back_buffer) return 0;
  if (!primary_surface) return 0;
  if (!windowed) {
    for (int attempt = 0; attempt < kFlipAttempts; ++attempt)
      if (primary_surface->Flip()) return 1;
    return 0;
  }
  RECT target{window_offset_x, window_offset_y, window_offset_x + screen_width, window_offset_y + screen_height};
  return primary_surface->Blt(&target, back_surface, nullptr, platform::kBltWait) ? 1 : 0;
}

int WaitForVsync() {
  if (display_object) display_object->WaitForVerticalBlank();
  return 1;
}

int FillSurface(DisplaySurface* surface, int32_t color, const RECT* rectangle) {
  if (surface)
    surface->Blt(rectangle, nullptr, nullptr, platform::kBltColorFill | platform::kBltWait,
                 static_cast<uint32_t>(color) & 0xFFFF);
  return 1;
}

int FillRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t color, DisplaySurface* surface) {
  RECT area{left, top, right, bottom};
  if (surface)
    surface->Blt(&area, nullptr, nullptr, platform::kBltColorFill | platform::kBltWait, static_cast<uint32_t>(color));
  return 1;
}

uint8_t* LockSurface(DisplaySurface* surface, int32_t* pitch) {
  if (!surface) return nullptr;
  return surface->Lock(pitch);
}

int UnlockSurface(DisplaySurface* surface) {
  if (!surface) return 0;
  surface->Unlock();
  return 1;
}

uint8_t* LockPrimarySurface() {
  if (primary_buffer) return primary_buffer;
  primary_buffer = LockSurface(primary_surface, &primary_pitch);
  return primary_buffer;
}

int UnlockPrimarySurface() {
  if (!primary_buffer) return 0;
  UnlockSurface(primary_surface);
  primary_buffer = nullptr;
  primary_pitch = 0;
  return 1;
}

uint8_t* LockBackSurface() {
  if (back_buffer) return back_buffer;
  back_buffer = LockSurface(back_surface, &back_pitch);
  return back_buffer;
}

int UnlockBackSurface() {
  if (!back_buffer) return 0;
  UnlockSurface(back_surface);
  back_buffer = nullptr;
  back_pitch = 0;
  return 1;
}

uint16_t PackRgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((((r >> 3) & 31) << 11) | (((g >> 2) & 63) << 5) | ((b >> 3) & 31));
}

uint16_t PackRgb555(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((((r >> 3) & 31) << 10) | (((g >> 3) & 31) << 5) | ((b >> 3) & 31));
}
