#pragma once
// Overlap of two boxes, each shrunk towards its centre, as the sprites' own collision test does.
#include <cstdint>

// Each size s becomes s' = (s >> 1) - (s >> 3); 1 when |(x2 + w2') - (x1 + w1')| < w1' + w2' and
// |(y2 + h2') - (y1 + h1')| < h1' + h2', else 0.
int RectsCollide(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2, int32_t w2, int32_t h2);
