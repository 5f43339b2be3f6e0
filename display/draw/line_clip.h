#pragma once
// Region-code clipping of a line against the clip rectangle (clip_left..clip_right,
// clip_top..clip_bottom, inclusive).
#include <cstdint>

// 1 with the clipped end points written back; 0, arguments untouched, when no part of the
// line is inside (or the clipped points would not be).
int ClipLine(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1);
