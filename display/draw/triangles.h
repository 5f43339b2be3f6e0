#pragma once
// Filled triangles, split into flat-topped and flat-bottomed halves, clipped to the clip
// rectangle. Each returns 1, or 0 for a null buffer.
#include <cstdint>

// Floating-point edges, 8-bit pixels.
int DrawTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint8_t color, uint8_t* buffer,
                 int32_t pitch);
// 16.16 fixed-point edges, 8-bit pixels.
int DrawTriangleFixed(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint8_t color,
                      uint8_t* buffer, int32_t pitch);
// Floating-point edges, 16-bit pixels.
int DrawTriangle16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, uint16_t color,
                   uint8_t* buffer, int32_t pitch);
