// The default font through SDL_ttf: DejaVu Sans Bold, solid rendering (no anti-aliasing).
#include <SDL_ttf.h>

#include <cstdio>
#include <cstring>

#include "platform/text/text_backend.h"

namespace platform {
namespace {
// DejaVu Sans Bold at this size is about as tall as a 16-pixel system font.
constexpr int kFontPoints = 12;

TTF_Font* font = nullptr;
bool font_tried = false;

bool OpenDefaultFont() {
  if (font_tried) return font != nullptr;
  font_tried = true;
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "Text disabled: %s\n", TTF_GetError());
    return false;
  }
  font = TTF_OpenFont(JED_FONT_PATH, kFontPoints);
  if (!font)
    std::fprintf(stderr, "Text disabled: cannot open font %s: %s\n", JED_FONT_PATH, TTF_GetError());
  else
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
  return font != nullptr;
}

bool RenderLine(const std::string& utf8, GlyphMask* mask) {
  if (!font) return false;
  SDL_Color white{255, 255, 255, 255};
  SDL_Surface* glyphs = TTF_RenderUTF8_Solid(font, utf8.c_str(), white);
  if (!glyphs) return false;
  SDL_LockSurface(glyphs);
  mask->width = glyphs->w;
  mask->height = glyphs->h;
  mask->ink.resize(static_cast<size_t>(glyphs->w) * glyphs->h);
  for (int y = 0; y < glyphs->h; ++y)
    std::memcpy(&mask->ink[static_cast<size_t>(y) * glyphs->w],
                static_cast<const uint8_t*>(glyphs->pixels) + static_cast<size_t>(y) * glyphs->pitch, glyphs->w);
  SDL_UnlockSurface(glyphs);
  SDL_FreeSurface(glyphs);
  return true;
}
}  // namespace

const TextBackend kTtfText{OpenDefaultFont, RenderLine};

}  // namespace platform
