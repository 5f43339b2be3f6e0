// Where the picture goes on a screen or in a window, and where a window goes on the desktop: plain
// arithmetic, the same for every backend.
#include <algorithm>
#include <cstdint>

#include "platform/desktop.h"

namespace platform {
namespace {

// The largest size of the picture's shape inside the output (at least 1 x 1).
ShownArea FitShape(int out_w, int out_h, int w, int h) {
  int shown_w, shown_h;
  if (static_cast<int64_t>(out_w) * h <= static_cast<int64_t>(out_h) * w) {
    shown_w = out_w;  // width is the tighter side
    shown_h = std::max(1, static_cast<int>(static_cast<int64_t>(out_w) * h / w));
  } else {
    shown_h = out_h;
    shown_w = std::max(1, static_cast<int>(static_cast<int64_t>(out_h) * w / h));
  }
  return {0, 0, shown_w, shown_h};
}

}  // namespace

const char* ScalingName(Scaling scaling) {
  switch (scaling) {
    case Scaling::Integer: return "integer";
    case Scaling::Stretch: return "stretch";
    case Scaling::Fit: break;
  }
  return "fit";
}

bool ScalingNamed(const std::string& name, Scaling* scaling) {
  for (Scaling each : {Scaling::Fit, Scaling::Integer, Scaling::Stretch})
    if (name == ScalingName(each)) {
      *scaling = each;
      return true;
    }
  return false;
}

ShownArea PictureArea(int out_w, int out_h, int w, int h, Scaling scaling) {
  if (w <= 0 || h <= 0 || out_w <= 0 || out_h <= 0) return {0, 0, std::max(w, 0), std::max(h, 0)};
  ShownArea shown = FitShape(out_w, out_h, w, h);
  if (scaling == Scaling::Stretch) {
    shown = {0, 0, out_w, out_h};
  } else if (scaling == Scaling::Integer && out_w >= w && out_h >= h) {
    const int scale = std::min(out_w / w, out_h / h);
    shown = {0, 0, w * scale, h * scale};
  }
  shown.x = (out_w - shown.width) / 2;
  shown.y = (out_h - shown.height) / 2;
  return shown;
}

int SharpPrescale(const ShownArea& area, int w, int h) {
  if (w <= 0 || h <= 0) return 1;
  return std::max(1, std::min(area.width / w, area.height / h));
}

ShownArea PlaceWindow(const ShownArea& usable, const WindowFrame& frame, int width, int height) {
  const int room_w = std::max(1, usable.width - frame.left - frame.right);
  const int room_h = std::max(1, usable.height - frame.top - frame.bottom);
  width = std::max(width, 1);
  height = std::max(height, 1);
  ShownArea inside{0, 0, width, height};
  if (width > room_w || height > room_h) inside = FitShape(room_w, room_h, width, height);
  inside.x = usable.x + frame.left + (room_w - inside.width) / 2;
  inside.y = usable.y + frame.top + (room_h - inside.height) / 2;
  return inside;
}

}  // namespace platform
