// BitmapImage: pictures in plain memory, drawn by row copies into a locked buffer.
#include "display/bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "display/bitmap_cells.h"

namespace {

int BytesPerPixel(const BitmapImage* image) { return image->bits_per_pixel >> 3; }

bool HasPixels(const BitmapImage* image) {
  return image != nullptr && image->pixels != nullptr && image->width > 0 && image->height > 0 &&
         BytesPerPixel(image) > 0;
}

// A w x h rectangle at (x, y) lies wholly inside the image.
bool RectInside(const BitmapImage* image, int64_t x, int64_t y, int64_t w, int64_t h) {
  return w >= 0 && h >= 0 && x >= 0 && y >= 0 && x + w <= image->width && y + h <= image->height;
}

int LoadImageFromBitmap(BitmapImage* image, const BitmapFile* bitmap, int32_t cx, int32_t cy, int32_t mode, int bits) {
  if (!HasPixels(image) || image->bits_per_pixel != bits) return 0;
  const BitmapPoint origin = BitmapCellOrigin(cx, cy, image->width, image->height, mode);
  const int bytes = bits / 8;
  if (!CopyBitmapRect(bitmap, origin, image->width, image->height, bytes, image->pixels, int64_t{image->width} * bytes))
    return 0;
  image->attributes |= BITMAP_IMAGE_LOADED;
  return 1;
}

template <typename Pixel>
int DrawImage(const BitmapImage* image, uint8_t* dest, int32_t pitch, int32_t transparent) {
  if (image == nullptr || !(image->attributes & BITMAP_IMAGE_LOADED) || !HasPixels(image)) return 0;
  if (dest == nullptr || image->bits_per_pixel != 8 * static_cast<int>(sizeof(Pixel))) return 0;
  // No clipping beyond what the buffer's pitch tells: the image must start inside the buffer
  // and its rows must not run past the right edge.
  const int64_t row_pixels = pitch / static_cast<int64_t>(sizeof(Pixel));
  if (image->x < 0 || image->y < 0 || int64_t{image->x} + image->width > row_pixels) return 0;

  const int64_t pitch_bytes = row_pixels * static_cast<int64_t>(sizeof(Pixel));
  uint8_t* first = dest + image->y * pitch_bytes + int64_t{image->x} * sizeof(Pixel);
  const size_t row_bytes = static_cast<size_t>(image->width) * sizeof(Pixel);
  for (int64_t row = 0; row < image->height; ++row) {
    const uint8_t* from = image->pixels + row * row_bytes;
    uint8_t* to = first + row * pitch_bytes;
    if (!transparent) {
      std::memcpy(to, from, row_bytes);
      continue;
    }
    // A select rather than a branch, so the loop vectorises; zero pixels rewrite what is there.
    for (int32_t i = 0; i < image->width; ++i) {
      Pixel value, under;
      std::memcpy(&value, from + i * sizeof(Pixel), sizeof(Pixel));
      std::memcpy(&under, to + i * sizeof(Pixel), sizeof(Pixel));
      value = value != 0 ? value : under;
      std::memcpy(to + i * sizeof(Pixel), &value, sizeof(Pixel));
    }
  }
  return 1;
}

}  // namespace

int CreateBitmapImage(BitmapImage* image, int32_t x, int32_t y, int32_t width, int32_t height, int32_t bpp) {
  if (image == nullptr || width <= 0 || height <= 0 || bpp < 8 || bpp > 32 || bpp % 8 != 0) return 0;
  const int64_t bytes = int64_t{width} * height * (bpp >> 3);
  if (bytes > INT32_MAX) return 0;  // byte_count is 32 bits
  uint8_t* pixels = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
  if (pixels == nullptr) {
    image->pixels = nullptr;
    return 0;
  }
  std::memset(pixels, 0, static_cast<size_t>(bytes));
  image->pixels = pixels;
  image->active = 1;
  image->attributes = 0;
  image->x = x;
  image->y = y;
  image->width = width;
  image->height = height;
  image->bits_per_pixel = bpp;
  image->byte_count = static_cast<int32_t>(bytes);
  return 1;
}

int DestroyBitmapImage(BitmapImage* image) {
  if (image == nullptr || image->pixels == nullptr) return 0;
  delete[] image->pixels;
  *image = BitmapImage{};
  return 1;
}

int LoadBitmapImage(BitmapImage* image, const BitmapFile* bitmap, int32_t cx, int32_t cy, int32_t mode) {
  return LoadImageFromBitmap(image, bitmap, cx, cy, mode, 8);
}

int LoadBitmapImage16(BitmapImage* image, const BitmapFile* bitmap, int32_t cx, int32_t cy, int32_t mode) {
  return LoadImageFromBitmap(image, bitmap, cx, cy, mode, 16);
}

int DrawBitmapImage(const BitmapImage* image, uint8_t* dest, int32_t pitch, int32_t transparent) {
  return DrawImage<uint8_t>(image, dest, pitch, transparent);
}

int DrawBitmapImage16(const BitmapImage* image, uint8_t* dest, int32_t pitch, int32_t transparent) {
  return DrawImage<uint16_t>(image, dest, pitch, transparent);
}

int CopyBitmapImageRegion(BitmapImage* dest, int32_t dx, int32_t dy, const BitmapImage* src, int32_t sx, int32_t sy,
                          int32_t width, int32_t height) {
  if (!HasPixels(dest) || !HasPixels(src) || dest->bits_per_pixel != src->bits_per_pixel) return 0;
  if (!RectInside(src, sx, sy, width, height) || !RectInside(dest, dx, dy, width, height)) return 0;
  const int64_t p = BytesPerPixel(src);
  const size_t row_bytes = static_cast<size_t>(width * p);
  for (int64_t row = 0; row < height; ++row) {
    // memmove: source and destination may be the same image.
    std::memmove(dest->pixels + p * (dx + (dy + row) * int64_t{dest->width}),
                 src->pixels + p * (sx + (sy + row) * int64_t{src->width}), row_bytes);
  }
  return 1;
}

int LoadSurfaceCell(const BitmapFile* bitmap, DisplaySurface* surface, int32_t cx, int32_t cy) {
  // Cells are 8-bit pixels; copying them as bytes into a deeper surface would garble them.
  if (bitmap == nullptr || surface == nullptr || surface->bits_per_pixel() != 8) return 0;
  int32_t pitch = 0;
  uint8_t* memory = LockSurface(surface, &pitch);
  if (memory == nullptr) return 0;
  const int32_t w = surface->width(), h = surface->height();
  const bool copied = CopyBitmapRect(bitmap, BitmapCellOrigin(cx, cy, w, h, 0), w, h, 1, memory, pitch);
  UnlockSurface(surface);
  return copied ? 1 : 0;
}

int ScrollBitmapImage(BitmapImage* image, int32_t dx, int32_t dy) {
  if (!HasPixels(image) || (dx == 0 && dy == 0)) return 0;
  const int32_t shift = dx % image->width;  // the sign of dx
  if (shift == 0) return 1;
  const int64_t p = BytesPerPixel(image);
  const int64_t row_bytes = image->width * p;
  // Rotating right by s is rotating left by width - s.
  const int64_t left_bytes = (shift > 0 ? image->width - shift : -shift) * p;
  for (int64_t row = 0; row < image->height; ++row) {
    uint8_t* line = image->pixels + row * row_bytes;
    std::rotate(line, line + left_bytes, line + row_bytes);
  }
  return 1;
}
