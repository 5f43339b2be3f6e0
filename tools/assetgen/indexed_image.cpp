#include "tools/assetgen/indexed_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assetgen {

IndexedImage::IndexedImage(int width, int height, uint8_t fill)
    : width_(width), height_(height), pixels_(size_t(width) * height, fill) {}

void IndexedImage::FillRect(int x0, int y0, int x1, int y1, uint8_t c) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) pixels_[size_t(y) * width_ + x] = c;
}

void IndexedImage::HLine(int x0, int x1, int y, uint8_t c) {
  if (x0 > x1) std::swap(x0, x1);
  FillRect(x0, y, x1 + 1, y + 1, c);
}

void IndexedImage::VLine(int x, int y0, int y1, uint8_t c) {
  if (y0 > y1) std::swap(y0, y1);
  FillRect(x, y0, x + 1, y1 + 1, c);
}

void IndexedImage::Line(int x0, int y0, int x1, int y1, uint8_t c) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void IndexedImage::FillCircle(double cx, double cy, double r, uint8_t c) { FillEllipse(cx, cy, r, r, c); }

void IndexedImage::FillEllipse(double cx, double cy, double rx, double ry, uint8_t c) {
  if (rx <= 0 || ry <= 0) return;
  int y0 = int(std::floor(cy - ry)), y1 = int(std::ceil(cy + ry));
  int x0 = int(std::floor(cx - rx)), x1 = int(std::ceil(cx + rx));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
      if (u * u + v * v <= 1.0) Set(x, y, c);
    }
}

void IndexedImage::Capsule(double x0, double y0, double x1, double y1, double r, uint8_t c) {
  double vx = x1 - x0, vy = y1 - y0;
  double len2 = vx * vx + vy * vy;
  int bx0 = int(std::floor(std::min(x0, x1) - r)), bx1 = int(std::ceil(std::max(x0, x1) + r));
  int by0 = int(std::floor(std::min(y0, y1) - r)), by1 = int(std::ceil(std::max(y0, y1) + r));
  for (int y = by0; y <= by1; ++y)
    for (int x = bx0; x <= bx1; ++x) {
      double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = len2 > 0 ? std::clamp((px * vx + py * vy) / len2, 0.0, 1.0) : 0.0;
      double dx = px - t * vx, dy = py - t * vy;
      if (dx * dx + dy * dy <= r * r) Set(x, y, c);
    }
}

void IndexedImage::FillPolygon(const std::vector<std::pair<double, double>>& pts, uint8_t c) {
  if (pts.size() < 3) return;
  double miny = pts[0].second, maxy = pts[0].second;
  for (auto& p : pts) {
    miny = std::min(miny, p.second);
    maxy = std::max(maxy, p.second);
  }
  for (int y = int(std::floor(miny)); y <= int(std::ceil(maxy)); ++y) {
    double sy = y + 0.5;
    std::vector<double> xs;
    for (size_t i = 0; i < pts.size(); ++i) {
      auto a = pts[i], b = pts[(i + 1) % pts.size()];
      if ((a.second <= sy && b.second > sy) || (b.second <= sy && a.second > sy))
        xs.push_back(a.first + (sy - a.second) / (b.second - a.second) * (b.first - a.first));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = int(std::ceil(xs[i] - 0.5)); x <= int(std::floor(xs[i + 1] - 0.5)); ++x) Set(x, y, c);
  }
}

uint8_t IndexedImage::Dither(int x, int y, double t, uint8_t a, uint8_t b) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  double threshold = (bayer[y & 3][x & 3] + 0.5) / 16.0;
  return t > threshold ? b : a;
}

void IndexedImage::ShadeRect(int x0, int y0, int x1, int y1, pal::Ramp ramp,
                             const std::function<double(int, int)>& value) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      double v = std::clamp(value(x, y), 0.0, 1.0) * (ramp.count - 1);
      int lo = int(std::floor(v));
      pixels_[size_t(y) * width_ + x] = Dither(x, y, v - lo, ramp[lo], ramp[lo + 1]);
    }
}

void IndexedImage::Blit(const IndexedImage& src, int dx, int dy, int key) {
  BlitRect(src, 0, 0, src.width(), src.height(), dx, dy, key);
}

void IndexedImage::BlitRect(const IndexedImage& src, int sx, int sy, int w, int h, int dx, int dy, int key) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!src.Inside(sx + x, sy + y)) continue;
      uint8_t c = src.At(sx + x, sy + y);
      if (key >= 0 && c == key) continue;
      Set(dx + x, dy + y, c);
    }
}

IndexedImage IndexedImage::MirroredX() const {
  IndexedImage out(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) out.Set(width_ - 1 - x, y, At(x, y));
  return out;
}

void IndexedImage::Replace(uint8_t from, uint8_t to) { std::replace(pixels_.begin(), pixels_.end(), from, to); }

}  // namespace assetgen
