#include "platform/text.h"

#include <mutex>
#include <string>

#include "platform/text/text_backend.h"
#include "platform/video/present.h"

namespace platform {
namespace {
// One rasteriser serves every surface; its font is not safe for concurrent use.
std::mutex font_lock;
GlyphMask line_mask;
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
  if (!kTtfText.open_font()) return false;
  if (len == 0) return true;
  if (!kTtfText.render_line(std::string(text, len), &line_mask)) return true;  // nothing drawable in the string
  uint8_t red = colorref & 0xFF, green = (colorref >> 8) & 0xFF, blue = (colorref >> 16) & 0xFF;
  uint32_t pixel;
  if (surface->bits_per_pixel() == 8) {
    const Palette* palette = surface->palette() ? surface->palette() : ShownPalette();
    pixel = static_cast<uint32_t>(NearestPaletteIndex(palette, red, green, blue));
  } else {
    pixel = ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
  }
  const GlyphMask& glyphs = line_mask;
  for (int gy = 0; gy < glyphs.height; ++gy) {
    int ty = y + gy;
    if (ty < 0 || ty >= surface->height()) continue;
    const uint8_t* in = &glyphs.ink[static_cast<size_t>(gy) * glyphs.width];
    uint8_t* row = surface->pixels() + static_cast<size_t>(ty) * surface->pitch();
    for (int gx = 0; gx < glyphs.width; ++gx) {
      int tx = x + gx;
      if (tx < 0 || tx >= surface->width() || in[gx] == 0) continue;
      if (surface->bits_per_pixel() == 8)
        row[tx] = static_cast<uint8_t>(pixel);
      else
        reinterpret_cast<uint16_t*>(row)[tx] = static_cast<uint16_t>(pixel);
    }
  }
  return true;
}

}  // namespace platform
