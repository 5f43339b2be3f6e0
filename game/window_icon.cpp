#include "game/window_icon.h"

#include "display/bitmap.h"
#include "platform/desktop.h"

namespace {
// The portrait's picture starts at pixel (1, 1) of its file and is this many pixels square.
constexpr int kFaceSize = 100;
constexpr int kIconSize = 64;
}  // namespace

void SetGameWindowIcon() {
  BitmapFile face{};
  if (!LoadBitmapFile(&face, "face0.BMP")) return;
  const int width = face.info_header.biWidth, height = face.info_header.biHeight;
  if (face.info_header.biBitCount == 8 && width > kFaceSize && height > kFaceSize) {
    platform::Frame icon;
    icon.width = icon.height = kIconSize;
    icon.rgb.resize(kIconSize * kIconSize * 3);
    for (int y = 0; y < kIconSize; ++y)
      for (int x = 0; x < kIconSize; ++x) {
        const int source = (1 + y * kFaceSize / kIconSize) * width + 1 + x * kFaceSize / kIconSize;
        const PALETTEENTRY& colour = face.palette[face.buffer[source]];
        uint8_t* out = &icon.rgb[(y * kIconSize + x) * 3];
        out[0] = colour.red;
        out[1] = colour.green;
        out[2] = colour.blue;
      }
    platform::SetWindowIcon(icon);
  }
  UnloadBitmapFile(&face);
}
