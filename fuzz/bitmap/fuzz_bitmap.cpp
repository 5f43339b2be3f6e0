// Any byte string is either a picture or a clean refusal; a loaded picture can be cut and
// drawn without touching memory outside its buffers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BitmapFile bitmap{};
  pixel_format = (size & 1) ? 15 : 16;
  if (LoadBitmapMemory(&bitmap, data, size) != 1) return 0;
  const int bits = bitmap.info_header.biBitCount;
  BitmapImage image{};
  if (CreateBitmapImage(&image, 0, 0, 8, 8, bits) == 1) {
    const int loaded =
        bits == 8 ? LoadBitmapImage(&image, &bitmap, 0, 0, 0) : LoadBitmapImage16(&image, &bitmap, 0, 0, 0);
    std::vector<uint8_t> screen(8 * 8 * 2);
    if (loaded == 1) {
      if (bits == 8)
        DrawBitmapImage(&image, screen.data(), 8, 1);
      else
        DrawBitmapImage16(&image, screen.data(), 16, 1);
      ScrollBitmapImage(&image, 3, 0);
    }
    DestroyBitmapImage(&image);
  }
  UnloadBitmapFile(&bitmap);
  return 0;
}
