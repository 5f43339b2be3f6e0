#pragma once
// Text on a surface with the default font, transparent background.
#include <cstdint>

#include "display/display.h"

// Colour given as a palette index (read from shadow_palette).
int DrawTextGdi(const char* text, int32_t x, int32_t y, int32_t color_index, DisplaySurface* surface);
// Colour given as a GDI value red | green << 8 | blue << 16.
int DrawTextGdiRgb(const char* text, int32_t x, int32_t y, uint32_t color, DisplaySurface* surface);
