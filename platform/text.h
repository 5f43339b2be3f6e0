#pragma once
// Text on a surface (GDI's TextOut on a surface's device context): the default font, a text
// colour, transparent background. On 8-bit surfaces the colour becomes the nearest entry of
// the shown palette and glyphs are not anti-aliased.
#include <cstddef>
#include <cstdint>

#include "platform/video.h"

namespace platform {

// colorref: red | green << 8 | blue << 16. Draws len bytes of UTF-8 text with its top-left at
// (x, y), clipped to the surface. False when no device context can be had (no font).
bool TextOut(Surface* surface, int x, int y, const char* text, size_t len, uint32_t colorref);

// The palette index nearest to an RGB colour (squared distance, lowest index on ties).
int NearestPaletteIndex(const Palette* palette, uint8_t red, uint8_t green, uint8_t blue);

}  // namespace platform
