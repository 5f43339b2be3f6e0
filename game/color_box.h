#pragma once
// Colour scans of the locked back buffer over boxes whose corners are computed in floating
// point and truncated toward zero.

// Column of the first pixel of `color` in the box, 0 for none (also for a match in column 0).
int ScanBackBuffer(float x1, float y1, float x2, float y2, int color);
