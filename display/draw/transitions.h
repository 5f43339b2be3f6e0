#pragma once
// Blocking effects that take the visible picture away: palette fades, black lines closing in
// from the edges, and a random dissolve to black.
#include <cstdint>

#include "display/display.h"

constexpr int32_t TRANSITION_FADE_BLACK = 0;        // palette to black, 80 steps
constexpr int32_t TRANSITION_FADE_WHITE = 1;        // palette to white, 64 steps
constexpr int32_t TRANSITION_CLOSE_SIDES = 2;       // black columns from left and right
constexpr int32_t TRANSITION_CLOSE_TOP_BOTTOM = 3;  // black rows from top and bottom
constexpr int32_t TRANSITION_DISSOLVE = 4;          // random black pixels
constexpr int32_t TRANSITION_CLOSE_ALL = 5;         // columns and rows together
constexpr int32_t TRANSITION_FADE_BLUE = 6;         // palette towards blue, 64 steps
constexpr int32_t TRANSITION_FADE_RED = 7;          // palette towards red, 64 steps
constexpr int32_t TRANSITION_FADE_GREEN = 8;        // palette towards green, 64 steps

// One step of a palette fade on 256 entries; the flags bytes stay. To black: entries 1..255
// lose 3 per component (0 at 4 or below). White: all + 4. Blue: red and green - 4, blue + 6.
// Red: red + 6, green and blue - 4. Green: red and blue - 4, green + 6. Always within 0..255.
// 0 for another effect or null entries, else 1.
int FadePaletteStep(int32_t effect, PALETTEENTRY* entries);

// Plays one effect. The wipes and the dissolve draw into buffer / pitch, which must be the
// locked memory of the surface being shown (nothing is flipped meanwhile), at screen_bpp 8 or
// 16, inside the clip rectangle. Fades and wipes wait 12 ms per step on the frame clock; the
// fade to black ends with entries 1..255 black. Returns 1; 0 for an unknown effect, or for a
// null buffer with an effect that draws.
int ScreenTransition(int32_t effect, uint8_t* buffer, int32_t pitch);
