#pragma once
// An 8-bit palettised picture with the few drawing operations the generator needs.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/assetgen/palette.h"

namespace assetgen {

class IndexedImage {
 public:
  IndexedImage() = default;
  IndexedImage(int width, int height, uint8_t fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<uint8_t>& pixels() const { return pixels_; }

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  uint8_t At(int x, int y) const { return Inside(x, y) ? pixels_[size_t(y) * width_ + x] : 0; }
  void Set(int x, int y, uint8_t c) {
    if (Inside(x, y)) pixels_[size_t(y) * width_ + x] = c;
  }

  // Rectangles are inclusive of (x0, y0) and exclusive of (x1, y1).
  void FillRect(int x0, int y0, int x1, int y1, uint8_t c);
  void HLine(int x0, int x1, int y, uint8_t c);  // inclusive
  void VLine(int x, int y0, int y1, uint8_t c);  // inclusive
  void Line(int x0, int y0, int x1, int y1, uint8_t c);
  void FillCircle(double cx, double cy, double r, uint8_t c);
  void FillEllipse(double cx, double cy, double rx, double ry, uint8_t c);
  // A thick segment with round ends.
  void Capsule(double x0, double y0, double x1, double y1, double r, uint8_t c);
  void FillPolygon(const std::vector<std::pair<double, double>>& points, uint8_t c);

  // Ordered (Bayer 4x4) blend between two indices: t = 0 gives a, t = 1 gives b.
  static uint8_t Dither(int x, int y, double t, uint8_t a, uint8_t b);
  // Fills with a ramp entry chosen per pixel from a value in [0, 1], dithered between steps.
  void ShadeRect(int x0, int y0, int x1, int y1, pal::Ramp ramp, const std::function<double(int, int)>& value);

  // Copies src onto this picture, skipping `key` pixels of src.
  void Blit(const IndexedImage& src, int dx, int dy, int key = -1);
  // Copies a rectangle of src.
  void BlitRect(const IndexedImage& src, int sx, int sy, int w, int h, int dx, int dy, int key = -1);
  IndexedImage MirroredX() const;
  // Every pixel of `from` becomes `to`.
  void Replace(uint8_t from, uint8_t to);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace assetgen
