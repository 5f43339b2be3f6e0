#pragma once
// Lines and pixels written straight into locked 8- and 16-bit surface memory (pointer and row
// pitch in bytes).
#include <cstdint>

// Bresenham lines. No clipping, for speed: both end points must lie inside the buffer.
// 0 for a null buffer, else 1.
int DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t color, uint8_t* buffer, int32_t pitch);
int DrawLine16(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t color, uint8_t* buffer, int32_t pitch);

// The part of the line inside the clip rectangle; 1 also when nothing is drawn.
int DrawClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t color, uint8_t* buffer, int32_t pitch);
int DrawClipLine16(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t color, uint8_t* buffer, int32_t pitch);

// Pixels x0..x1 of row y (either order, both ends included), clamped to the clip rectangle.
void DrawHLine(int32_t x0, int32_t x1, int32_t y, uint8_t color, uint8_t* buffer, int32_t pitch);
void DrawHLine16(int32_t x0, int32_t x1, int32_t y, uint16_t color, uint8_t* buffer, int32_t pitch);
// Pixels y0..y1 of column x, clamped likewise.
void DrawVLine(int32_t y0, int32_t y1, int32_t x, uint8_t color, uint8_t* buffer, int32_t pitch);
void DrawVLine16(int32_t y0, int32_t y1, int32_t x, uint16_t color, uint8_t* buffer, int32_t pitch);

// One pixel, not clipped: (x, y) must lie inside the buffer. 0 for a null buffer, else 1.
int PlotPixel(int32_t x, int32_t y, uint8_t color, uint8_t* buffer, int32_t pitch);
int PlotPixel16(int32_t x, int32_t y, uint16_t color, uint8_t* buffer, int32_t pitch);
