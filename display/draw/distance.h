#pragma once
// Integer approximations of 2D and 3D distance (a few per cent off, no square root).
#include <cstdint>

// With a = |dx|, b = |dy|, m = min(a, b): a + b - (m >> 1) - (m >> 2) + (m >> 4); saturates at
// INT32_MAX.
int32_t FastDistance2D(int32_t dx, int32_t dy);

// The absolute values scaled by 1024 and truncated, sorted p <= q <= r:
// (r + 11 * (q >> 5) + (p >> 2)) >> 10.
float FastDistance3D(float dx, float dy, float dz);
