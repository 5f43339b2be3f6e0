#include "platform/text.h"

#include <SDL_ttf.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/present.h"

namespace platform {
namespace {
// DejaVu Sans Bold at this size is about as tall as a 16-pixel system font.
constexpr int kFontPoints = 12;

std::mutex font_lock;
TTF_Font* font = nullptr;
bool font_tried = false;

TTF_Font* DefaultFont() {
  if (font_tried) return font;
  font_tried = true;
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "Text disabled: %s\n", TTF_GetError());
    return nullptr;
  }
  font = TTF_OpenFont(JED_FONT_PATH, kFontPoints);
  if (!font) std::fprintf(stderr, "Text disabled: cannot open font %s: %s\n", JED_FONT_PATH, TTF_GetError());
  else TTF_SetFontHinting(font, TTF_HINTING_MONO);
  return font;
}
}  // namespace

int NearestPaletteIndex(const Palette* palette, uint8_t red, uint8_t green, uint8_t blue) {
  if (!palette) return 0;
  int best = 0;
  long best_distance = -1;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = palette->entries()[i];
    long dr = e.red - red, dg = e.green - green, db = e.blue - blue;
    long distance = dr * dr + dg * dg + db * db;
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

bool TextOut(Surface* surface, int x, int y, const char* text, size_t len, uint32_t colorref) {
  if (!surface || !text) return false;
  std::lock_guard<std::mutex> guard(font_lock);
  TTF_Font* face = DefaultFont();
  if (!face) return false;
  if (len == 0) return true;
  std::string line(text, len);
  SDL_Color white{255, 255, 255, 255};
  SDL_Surface* glyphs = TTF_RenderUTF8_Solid(face, line.c_str(), white);
  if (!glyphs) return true;  // nothing drawable in the string
  uint8_t red = colorref & 0xFF, green = (colorref >> 8) & 0xFF, blue = (colorref >> 16) & 0xFF;
  uint32_t pixel;
  if (surface->bits_per_pixel() == 8) {
    const Palette* palette = surface->palette() ? surface->palette() : ShownPalette();
    pixel = static_cast<uint32_t>(NearestPaletteIndex(palette, red, green, blue));
  } else {
    pixel = ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
  }
  SDL_LockSurface(glyphs);
  for (int gy = 0; gy < glyphs->h; ++gy) {
    int ty = y + gy;
    if (ty < 0 || ty >= surface->height()) continue;
    const uint8_t* in = static_cast<const uint8_t*>(glyphs->pixels) + static_cast<size_t>(gy) * glyphs->pitch;
    uint8_t* row = surface->pixels() + static_cast<size_t>(ty) * surface->pitch();
    for (int gx = 0; gx < glyphs->w; ++gx) {
      int tx = x + gx;
      if (tx < 0 || tx >= surface->width() || in[gx] == 0) continue;
      if (surface->bits_per_pixel() == 8)
        row[tx] = static_cast<uint8_t>(pixel);
      else
        reinterpret_cast<uint16_t*>(row)[tx] = static_cast<uint16_t>(pixel);
    }
  }
  SDL_UnlockSurface(glyphs);
  SDL_FreeSurface(glyphs);
  return true;
}

}  // namespace platform
