#pragma once
// Colour scans of a locked buffer: the game's collision tests look for palette colours in what
// has just been drawn.
#include <cstdint>

// Clamps x1, x2 to 0..screen_width - 1 and y1, y2 to 0..screen_height - 1, then scans rows y1..y2
// and in each row columns x1..x2 (all inclusive) for a byte v with low <= v <= high. Returns the
// column of the first match, or 0 when there is none (so a match in column 0 reads as none).
int ColorScan(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high, const uint8_t* buffer,
              int32_t pitch);

// The 16-bit twin: same clamping and order; 1 when a pixel equals key1 or key2, else 0.
int ColorScan16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t key1, uint16_t key2, const uint8_t* buffer,
                int32_t pitch);
