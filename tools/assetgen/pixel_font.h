#pragma once
// A 5 x 7 capital font for lettering drawn into pictures (title, signs, end screens).
#include <string_view>

#include "tools/assetgen/indexed_image.h"

namespace assetgen {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// True when glyph pixel (gx, gy) of `ch` is set; unknown characters are blank.
bool GlyphPixel(char ch, int gx, int gy);

// Width in pixels of `text` drawn at `scale` with `spacing` glyph columns between letters.
int TextWidth(std::string_view text, int scale, int spacing = 1);

// Draws each glyph pixel as a scale x scale block of colour c.
void DrawText(IndexedImage& img, int x, int y, std::string_view text, int scale, uint8_t c, int spacing = 1);

// Big lettering: a drop shadow, a dark outline and a vertical ramp fill, for titles.
void DrawTitleText(IndexedImage& img, int x, int y, std::string_view text, int scale, pal::Ramp fill, uint8_t outline,
                   uint8_t shadow);

}  // namespace assetgen
