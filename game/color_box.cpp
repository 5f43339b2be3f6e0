#include "game/color_box.h"

#include "display/display.h"
#include "display/draw/color_scan.h"

int ScanBackBuffer(float x1, float y1, float x2, float y2, int color) {
  if (back_buffer == nullptr) return 0;
  return ColorScan(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2), color, color,
                   back_buffer, back_pitch);
}
