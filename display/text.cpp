#include "display/text.h"

#include <cstring>

#include "platform/text.h"

int DrawTextGdiRgb(const char* text, int32_t x, int32_t y, uint32_t color, DisplaySurface* surface) {
  if (!text || !surface) return 0;
  return platform::TextOut(surface, x, y, text, std::strlen(text), color) ? 1 : 0;
}

int DrawTextGdi(const char* text, int32_t x, int32_t y, int32_t color_index, DisplaySurface* surface) {
  const PALETTEENTRY& entry = shadow_palette[static_cast<uint8_t>(color_index)];
  uint32_t color = entry.red | (entry.green << 8) | (entry.blue << 16);
  return DrawTextGdiRgb(text, x, y, color, surface);
}
