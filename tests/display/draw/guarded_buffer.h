#pragma once
// A pixel buffer with guard bands on every side, for checking that drawing stays inside.
#include <cstdint>
#include <cstring>
#include <vector>

template <typename Pixel>
class GuardedBuffer {
 public:
  static constexpr Pixel kGuard = static_cast<Pixel>(0xA5A5);
  static constexpr int kBand = 64;  // pixels of guard left/right, rows of guard above/below

  // pitch_extra: pixels of row padding between the visible width and the next row.
  GuardedBuffer(int width, int height, int pitch_extra = 0, Pixel fill = 0)
      : width_(width),
        height_(height),
        row_(kBand + width + pitch_extra + kBand),
        data_(static_cast<size_t>(row_) * (height + 2 * kBand), kGuard) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width + pitch_extra; ++x) at(x, y) = fill;
    fill_ = fill;
    padding_ = pitch_extra;
  }

  // The buffer as drawing calls take it: top-left pixel and pitch in bytes. The pitch spans
  // the guard columns, so a write past the right edge lands in a guard, never in the next row.
  uint8_t* buffer() { return reinterpret_cast<uint8_t*>(&at(0, 0)); }
  int32_t pitch() const { return row_ * static_cast<int32_t>(sizeof(Pixel)); }

  Pixel& at(int x, int y) { return data_[static_cast<size_t>(y + kBand) * row_ + kBand + x]; }
  Pixel get(int x, int y) const { return data_[static_cast<size_t>(y + kBand) * row_ + kBand + x]; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Number of pixels changed outside left..right x top..bottom (inclusive), guards included.
  int ChangedOutside(int left, int top, int right, int bottom) const {
    int changed = 0;
    for (int y = -kBand; y < height_ + kBand; ++y)
      for (int x = -kBand; x < row_ - kBand; ++x) {
        if (x >= left && x <= right && y >= top && y <= bottom) continue;
        const bool inside = x >= 0 && x < width_ + padding_ && y >= 0 && y < height_;
        if (get(x, y) != (inside ? fill_ : kGuard)) ++changed;
      }
    return changed;
  }

  int Count(Pixel color) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += get(x, y) == color;
    return n;
  }

  void Clear() {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_ + padding_; ++x) at(x, y) = fill_;
  }

 private:
  int width_, height_, row_;
  std::vector<Pixel> data_;
  Pixel fill_ = 0;
  int padding_ = 0;
};
