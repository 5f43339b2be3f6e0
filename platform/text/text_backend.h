#pragma once
// The text service's backend table: a rasteriser of the default font.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One rendered line: width x height bytes, non-zero where a glyph has ink (never anti-aliased).
struct GlyphMask {
  int width = 0, height = 0;
  std::vector<uint8_t> ink;
};

struct TextBackend {
  // Loads the default font on first call; false (for good) when it cannot be had.
  bool (*open_font)();
  // One line of UTF-8 in the default font; false when nothing in it can be drawn.
  bool (*render_line)(const std::string& utf8, GlyphMask* mask);
};

extern const TextBackend kTtfText;  // text/ttf: DejaVu Sans Bold through SDL_ttf

}  // namespace platform
