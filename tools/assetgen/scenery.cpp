#include "tools/assetgen/scenery.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/assetgen/pixel_font.h"

namespace assetgen {
namespace {

using namespace pal;

// Which ramp each palette index belongs to, so lighting can step within it.
struct RampIndex {
  std::array<int, 256> ramp_first{}, ramp_count{};
  RampIndex() {
    ramp_first.fill(-1);
    const Ramp all[] = {kInk,    kNight, kSky,   kFar,    kSteel, kBrick, kConcrete,     kAsphalt,
                        kWindow, kPink,  kCyan,  kWater,  kWood,  kMetal, kContainerRed, kContainerBlue,
                        kGreen,  kFire,  kBlood, kPurple, kGrey,  kGold};
    for (const Ramp& r : all)
      for (int i = 0; i < r.count; ++i) {
        ramp_first[r.first + i] = r.first;
        ramp_count[r.first + i] = r.count;
      }
  }
};
const RampIndex& Ramps() {
  static const RampIndex index;
  return index;
}

uint8_t Shift(uint8_t c, int steps) {
  const RampIndex& r = Ramps();
  if (r.ramp_first[c] < 0) return c;
  int level = std::clamp(c - r.ramp_first[c] + steps, 0, r.ramp_count[c] - 1);
  return uint8_t(r.ramp_first[c] + level);
}

}  // namespace

void Glow(IndexedImage& img, int cx, int cy, int rx, int ry, Ramp, double strength) {
  for (int y = cy - ry; y <= cy + ry; ++y)
    for (int x = cx - rx; x <= cx + rx; ++x) {
      if (!img.Inside(x, y)) continue;
      double u = double(x - cx) / rx, v = double(y - cy) / ry;
      double d = 1.0 - std::sqrt(u * u + v * v);
      if (d <= 0) continue;
      double amount = d * strength;
      int steps = int(std::floor(amount));
      if (IndexedImage::Dither(x, y, amount - steps, 0, 1)) ++steps;
      if (steps != 0) img.Set(x, y, Shift(img.At(x, y), steps));
    }
}

void DrawSky(IndexedImage& img, int horizon, double glow, Rng& rng, int star_count) {
  img.ShadeRect(0, 0, img.width(), horizon, kSky, [&](int, int y) {
    double t = double(y) / horizon;
    return std::pow(t, 1.6) * (0.55 + 0.45 * glow);
  });
  for (int i = 0; i < star_count; ++i) {
    int x = rng.Range(0, img.width() - 1), y = rng.Range(4, std::max(5, horizon * 2 / 3));
    if (y < kHudRows + 6 && x < 480) continue;  // keep the HUD corner calm
    bool bright = rng.Chance(0.15);
    img.Set(x, y, bright ? kPale[1] : kSky[rng.Range(9, 13)]);
    if (bright && rng.Chance(0.5)) {
      img.Set(x - 1, y, kSky[10]);
      img.Set(x + 1, y, kSky[10]);
      img.Set(x, y - 1, kSky[10]);
      img.Set(x, y + 1, kSky[10]);
    }
  }
}

void DrawMoon(IndexedImage& img, int cx, int cy, int r) {
  Glow(img, cx, cy, r * 3, r * 3, kSky, 3.0);
  img.FillCircle(cx, cy, r, kMoon[1]);
  img.FillCircle(cx - r * 0.25, cy - r * 0.25, r * 0.8, kMoon[2]);
  img.FillCircle(cx + r * 0.35, cy + r * 0.2, r * 0.22, kMoon[0]);
  img.FillCircle(cx - r * 0.3, cy + r * 0.45, r * 0.15, kMoon[0]);
  img.FillCircle(cx + r * 0.1, cy - r * 0.5, r * 0.12, kMoon[0]);
}

void DrawSkyline(IndexedImage& img, int base, int min_h, int max_h, Ramp tone, int level, Rng& rng,
                 double light_density) {
  int x = -rng.Range(0, 30);
  while (x < img.width()) {
    int w = rng.Range(22, 70), h = rng.Range(min_h, max_h);
    int top = base - h;
    img.FillRect(x, top, x + w, base, tone[level]);
    if (rng.Chance(0.3)) img.FillRect(x + w / 3, top - rng.Range(6, 18), x + w / 3 + rng.Range(3, 8), top, tone[level]);
    if (rng.Chance(0.15)) img.VLine(x + w / 2, top - rng.Range(10, 26), top, tone[level]);  // antenna
    if (rng.Chance(0.12)) img.Set(x + w / 2, top - 20, kBlood[5]);
    for (int wy = top + 4; wy < base - 3; wy += 5)
      for (int wx = x + 3; wx < x + w - 3; wx += 4)
        if (rng.Chance(light_density)) img.Set(wx, wy, rng.Chance(0.7) ? kWindow[rng.Range(3, 7)] : kCyan[4]);
    x += w + rng.Range(-6, 6);
  }
}

void DrawWindow(IndexedImage& img, int x, int y, int w, int h, bool lit, Rng& rng) {
  img.FillRect(x - 1, y - 1, x + w + 1, y + h + 1, kInk[1]);
  if (lit) {
    int warm = rng.Range(4, 9);
    img.ShadeRect(x, y, x + w, y + h, kWindow, [&](int, int yy) { return (warm + 2.0 * (yy - y) / h) / 11.0; });
    if (rng.Chance(0.4)) img.FillRect(x, y, x + w, y + h / 3, kWindow[warm - 3]);                  // blind half down
    if (rng.Chance(0.25)) img.FillEllipse(x + w * 0.6, y + h * 0.75, w * 0.2, h * 0.35, kInk[2]);  // someone inside
  } else {
    img.FillRect(x, y, x + w, y + h, rng.Chance(0.3) ? kSteel[1] : kInk[3]);
    img.Line(x + 1, y + h - 2, x + w - 2, y + 1, kSteel[2]);  // glint
  }
  img.VLine(x + w / 2, y, y + h - 1, kInk[1]);
  img.HLine(x - 1, x + w, y + h + 1, kConcrete[1]);  // sill
}

void DrawBuilding(IndexedImage& img, int x0, int x1, int top, int bottom, Facade facade, Rng& rng, double lit_share,
                  bool cornice) {
  Ramp ramp = facade == Facade::kBrick      ? kBrick
              : facade == Facade::kSteel    ? kSteel
              : facade == Facade::kConcrete ? kConcrete
                                            : kFar;
  int base_level = facade == Facade::kBrick ? 3 : 2;
  img.ShadeRect(x0, top, x1, bottom, ramp, [&](int x, int y) {
    double v = base_level + 1.2 * double(y - top) / std::max(1, bottom - top) * 0.0;
    if (facade == Facade::kBrick && ((y % 4 == 0) || ((x + (y / 4 % 2) * 4) % 8 == 0))) v -= 1.0;  // mortar
    if (facade == Facade::kConcrete && (y % 24 == 0)) v -= 1.0;
    return v / (ramp.count - 1);
  });
  img.VLine(x0, top, bottom - 1, ramp[base_level - 2]);
  img.VLine(x1 - 1, top, bottom - 1, ramp[base_level + 1]);
  if (cornice) {
    img.FillRect(x0 - 2, top - 3, x1 + 2, top + 1, kConcrete[2]);
    img.HLine(x0 - 2, x1 + 1, top - 3, kConcrete[4]);
  }
  const int ww = 10, wh = 14, gap_x = 8, gap_y = 12;
  int cols = std::max(1, (x1 - x0 - 8) / (ww + gap_x));
  int start = x0 + (x1 - x0 - cols * (ww + gap_x) + gap_x) / 2;
  for (int wy = top + 10; wy + wh < bottom - 6; wy += wh + gap_y)
    for (int c = 0; c < cols; ++c) DrawWindow(img, start + c * (ww + gap_x), wy, ww, wh, rng.Chance(lit_share), rng);
}

void DrawFireEscape(IndexedImage& img, int x0, int x1, int top, int bottom) {
  for (int y = top; y < bottom; y += 38) {
    img.HLine(x0, x1, y, kMetal[2]);
    img.HLine(x0, x1, y + 1, kInk[0]);
    for (int x = x0; x <= x1; x += 4) img.VLine(x, y - 8, y, kMetal[1]);
    img.HLine(x0, x1, y - 8, kMetal[2]);
    if (y + 38 < bottom) img.Line(x0 + 4, y, x1 - 4, y + 38, kMetal[2]);  // ladder stair
  }
}

void DrawStreetLamp(IndexedImage& img, int x, int base, int height, bool lit) {
  int top = base - height;
  if (lit) {
    Glow(img, x + 10, top + 6, 50, 34, kWindow, 3.2);
    // The cone of light down to the pavement.
    for (int y = top + 8; y < base; ++y) {
      double spread = 4 + (y - top) * 0.42;
      for (int xx = int(x + 10 - spread); xx <= int(x + 10 + spread); ++xx)
        if (((xx + y) & 1) == 0) img.Set(xx, y, Shift(img.At(xx, y), 1));
    }
  }
  img.FillRect(x - 2, top, x + 1, base, kMetal[1]);
  img.VLine(x - 2, top, base - 1, kMetal[3]);
  img.FillRect(x - 4, base - 8, x + 3, base, kMetal[1]);
  img.HLine(x - 2, x + 12, top, kMetal[2]);
  img.FillRect(x + 6, top + 1, x + 15, top + 4, kMetal[2]);
  img.FillRect(x + 7, top + 4, x + 14, top + 7, lit ? kWindow[11] : kMetal[0]);
}

void DrawNeonSign(IndexedImage& img, int x, int y, std::string_view text, int scale, Ramp neon, bool board) {
  int w = TextWidth(text, scale), h = kGlyphHeight * scale;
  if (board) {
    img.FillRect(x - 6, y - 6, x + w + 6, y + h + 6, kInk[1]);
    img.HLine(x - 6, x + w + 5, y - 6, kMetal[2]);
    img.HLine(x - 6, x + w + 5, y + h + 5, kMetal[1]);
  }
  Glow(img, x + w / 2, y + h / 2, w / 2 + 14, h / 2 + 12, kSky, 2.0);
  IndexedImage mask(w + 8, h + 8, 0);
  DrawText(mask, 4, 4, text, scale, 1);
  for (int yy = 0; yy < mask.height(); ++yy)
    for (int xx = 0; xx < mask.width(); ++xx) {
      bool near = false;
      for (int d = 1; d <= 2 && !near; ++d)
        near = mask.At(xx - d, yy) || mask.At(xx + d, yy) || mask.At(xx, yy - d) || mask.At(xx, yy + d);
      if (mask.At(xx, yy))
        img.Set(x - 4 + xx, y - 4 + yy, (xx + yy) % 5 == 0 ? neon[neon.count - 1] : neon[neon.count - 2]);
      else if (near)
        img.Set(x - 4 + xx, y - 4 + yy, neon[2]);
    }
}

void DrawChainFence(IndexedImage& img, int x0, int x1, int top, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = x0; x < x1; ++x)
      if (((x + y) % 6 == 0) || ((x - y + 600) % 6 == 0)) img.Set(x, y, kMetal[3]);
  for (int x = x0; x < x1; x += 48) img.FillRect(x, top - 4, x + 3, bottom, kMetal[4]);
  img.HLine(x0, x1, top, kMetal[5]);
  for (int x = x0; x < x1; x += 3) img.Set(x, top - 2 - (x / 3) % 2, kMetal[4]);  // barbed wire
}

void DrawBillboard(IndexedImage& img, int x, int y, int w, int h, Rng& rng, int variant) {
  for (int px = x + 10; px < x + w; px += w / 3) img.FillRect(px, y + h, px + 3, y + h + 40, kMetal[1]);
  img.FillRect(x - 2, y - 2, x + w + 2, y + h + 2, kInk[0]);
  if (variant == 0) {
    img.ShadeRect(x, y, x + w, y + h, kPurple, [&](int, int yy) { return 0.2 + 0.5 * (yy - y) / h; });
    DrawText(img, x + 10, y + 10, "NITRO", 3, kWindow[10]);
    DrawText(img, x + 10, y + 36, "COLA", 2, kPale[1]);
    // NOLINTNEXTLINE(bugprone-integer-division): whole pixels
    img.FillEllipse(x + w - 30, y + h / 2, 14, 20, kContainerRed[3]);
    // NOLINTNEXTLINE(bugprone-integer-division): whole pixels
    img.FillEllipse(x + w - 33, y + h / 2 - 6, 4, 8, kContainerRed[4]);
  } else {
    img.ShadeRect(x, y, x + w, y + h, kCyan, [&](int, int yy) { return 0.15 + 0.4 * (yy - y) / h; });
    DrawText(img, x + 12, y + 12, "ROXX", 3, kPink[6]);
    DrawText(img, x + 12, y + 38, "RADIO 99", 1, kPale[1]);
    for (int i = 0; i < 6; ++i) img.FillCircle(x + w - 20 - rng.Range(0, 20), y + 10 + i * 7, 3, kCyan[8]);
  }
  for (int i = 0; i < 3; ++i) {  // spotlights on the frame
    int lx = x + w / 6 + i * w / 3;
    img.FillRect(lx, y + h + 2, lx + 4, y + h + 5, kMetal[3]);
  }
}

void DrawWaterTower(IndexedImage& img, int x, int base) {
  int top = base - 90;
  for (int i = 0; i < 4; ++i) img.Line(x + 6 + i * 14, base, x + 10 + i * 10, top + 50, kInk[1]);
  img.Line(x + 8, base - 20, x + 48, top + 56, kInk[1]);
  img.Line(x + 48, base - 20, x + 8, top + 56, kInk[1]);
  img.ShadeRect(x, top + 12, x + 56, top + 52, kWood, [&](int xx, int) {
    return 0.12 + 0.18 * std::sin((xx - x) / 56.0 * 3.14159) + (((xx - x) % 6 == 0) ? -0.06 : 0.0);
  });
  img.FillPolygon({{double(x - 3), double(top + 13)}, {x + 28.0, double(top)}, {x + 59.0, double(top + 13)}}, kInk[2]);
  img.HLine(x, x + 55, top + 22, kMetal[1]);
  img.HLine(x, x + 55, top + 42, kMetal[1]);
}

void DrawFireBarrel(IndexedImage& img, int x, int base) {
  Glow(img, x + 10, base - 26, 60, 44, kFire, 2.6);
  img.ShadeRect(x, base - 26, x + 20, base, kMetal,
                [&](int xx, int) { return 0.15 + 0.25 * std::sin((xx - x) / 20.0 * 3.14159); });
  img.HLine(x, x + 19, base - 18, kContainerRed[1]);
  img.HLine(x, x + 19, base - 8, kContainerRed[1]);
  Rng rng(uint64_t(x) * 31 + uint64_t(base));
  for (int i = 0; i < 10; ++i) {
    double fx = x + 3 + rng.Unit() * 14, fy = base - 28 - rng.Unit() * 12;
    img.FillEllipse(fx, fy, 3, 6, kFire[rng.Range(5, 8)]);
  }
  for (int i = 0; i < 6; ++i)
    img.FillEllipse(x + 5 + rng.Unit() * 10, base - 28 - rng.Unit() * 6, 2, 4, kFire[rng.Range(10, 13)]);
}

void DrawGraffiti(IndexedImage& img, int x, int y, std::string_view text, Rng& rng) {
  Ramp colours[] = {kPink, kCyan, kGold, kPurple};
  Ramp c = colours[rng.Range(0, 3)];
  int w = TextWidth(text, 3);
  IndexedImage mask(w + 10, 36, 0);
  DrawText(mask, 5, 5, text, 3, 1);
  for (int yy = 0; yy < mask.height(); ++yy)
    for (int xx = 0; xx < mask.width(); ++xx) {
      int sx = x + xx, sy = y + yy + int(3 * std::sin((x + xx) * 0.08));
      bool near = mask.At(xx - 1, yy) || mask.At(xx + 1, yy) || mask.At(xx, yy - 1) || mask.At(xx, yy + 1);
      if (mask.At(xx, yy))
        img.Set(sx, sy, c[c.count / 2 + ((xx + yy) % 3 == 0)]);
      else if (near)
        img.Set(sx, sy, kInk[0]);
    }
}

void DrawSteam(IndexedImage& img, int x, int base, Rng& rng) {
  for (int i = 0; i < 14; ++i) {
    double t = i / 14.0;
    double cx = x + std::sin(i * 0.9) * 6 * t, cy = base - i * 7;
    double r = 4 + t * 10;
    for (int yy = int(cy - r); yy <= int(cy + r); ++yy)
      for (int xx = int(cx - r); xx <= int(cx + r); ++xx) {
        double d = std::hypot(xx - cx, yy - cy) / r;
        if (d < 1 && ((xx * 7 + yy * 3 + i) % 3 == 0) && rng.Chance(0.8 - t * 0.5))
          img.Set(xx, yy, Shift(img.At(xx, yy), 2));
      }
  }
}

void CalmLowerArea(IndexedImage& img) {
  for (int y = kCalmRow; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      double t = double(y - kCalmRow) / (img.height() - kCalmRow);
      int steps = -int(1 + t * 3 + (IndexedImage::Dither(x, y, t * 3 - std::floor(t * 3), 0, 1)));
      img.Set(x, y, Shift(img.At(x, y), steps));
    }
}

void DrawGround(IndexedImage& img, Ground ground, Rng& rng) {
  const int s = kStreetRow, solid_end = kStreetRow + kGroundDepth;
  const int w = img.width();
  switch (ground) {
    case Ground::kStreet: {
      img.FillRect(0, s, w, solid_end, kSolid);
      for (int x = 20; x < w; x += 52) img.VLine(x, s + 3, solid_end - 1, kConcrete[3]);  // slab joints
      img.HLine(0, w - 1, solid_end - 1, kConcrete[2]);
      img.FillRect(0, solid_end, w, solid_end + 5, kConcrete[1]);  // kerb face
      img.HLine(0, w - 1, solid_end, kConcrete[4]);
      img.ShadeRect(0, solid_end + 5, w, img.height(), kAsphalt, [&](int x, int y) {
        double v = 0.75 - 0.6 * double(y - solid_end) / (img.height() - solid_end);
        if (((x * 13 + y * 7) % 17) == 0) v += 0.15;
        return v;
      });
      for (int x = 10; x < w; x += 90) img.FillRect(x, 348, x + 44, 351, kConcrete[4]);  // lane dashes
      break;
    }
    case Ground::kRooftop: {
      img.FillRect(0, s, w, solid_end, kSolid);
      for (int x = 8; x < w; x += 32) img.VLine(x, s + 2, solid_end - 1, kConcrete[4]);  // coping stones
      img.HLine(0, w - 1, solid_end - 1, kConcrete[1]);
      img.ShadeRect(0, solid_end, w, img.height(), kBrick, [&](int x, int y) {
        double v = 0.28 - 0.2 * double(y - solid_end) / (img.height() - solid_end);
        if (y % 4 == 0 || ((x + (y / 4 % 2) * 4) % 8 == 0)) v -= 0.08;
        return v;
      });
      for (int x = 40; x < w; x += 110) DrawWindow(img, x, solid_end + 14, 12, 18, rng.Chance(0.4), rng);
      break;
    }
    case Ground::kPier: {
      img.FillRect(0, s, w, solid_end, kSolid);
      for (int x = 0; x < w; x += 26) img.VLine(x, s + 1, solid_end - 1, kWood[2]);  // plank ends
      img.HLine(0, w - 1, solid_end - 1, kWood[1]);
      img.FillRect(0, solid_end, w, solid_end + 6, kWood[3]);  // beam
      img.HLine(0, w - 1, solid_end + 6, kWood[1]);
      img.ShadeRect(0, solid_end + 7, w, img.height(), kWater, [&](int x, int y) {
        double v = 0.5 - 0.45 * double(y - solid_end) / (img.height() - solid_end);
        v += 0.12 * std::sin(x * 0.07 + y * 0.9);
        return v;
      });
      for (int x = 30; x < w; x += 96) img.FillRect(x, solid_end + 6, x + 8, 372, kWood[2]);  // piles
      break;
    }
    case Ground::kWarehouseFloor:
    case Ground::kLair: {
      img.FillRect(0, s, w, solid_end, kSolid);
      for (int x = 30; x < w; x += 80) img.VLine(x, s + 2, solid_end - 1, kConcrete[3]);
      Ramp front = ground == Ground::kLair ? kBlood : kMetal;
      img.ShadeRect(0, solid_end, w, img.height(), front, [&](int x, int y) {
        double v = 0.35 - 0.3 * double(y - solid_end) / (img.height() - solid_end);
        if ((x / 16 + y / 16) % 2 == 0) v -= 0.06;
        return v;
      });
      // Hazard stripes along the floor edge.
      for (int x = 0; x < w; ++x)
        for (int y = solid_end; y < solid_end + 4; ++y) img.Set(x, y, ((x + y) / 6) % 2 ? kGold[2] : kInk[0]);
      break;
    }
  }
}

void DrawObstacle(IndexedImage& img, const Obstacle& o) {
  const int top = kStreetRow - o.height, bottom = kStreetRow, l = o.left, r = o.right;
  switch (o.kind) {
    case ObstacleKind::kCrate:
    case ObstacleKind::kBollardCrate:
    case ObstacleKind::kPallet: {
      img.ShadeRect(l, top, r, bottom, kWood, [&](int x, int y) {
        double v = 0.45 + ((x - l) % 9 == 0 ? -0.15 : 0.0) + 0.1 * std::sin(x * 1.7 + y * 0.3);
        return v;
      });
      img.FillRect(l, top, l + 3, bottom, kWood[2]);
      img.FillRect(r - 3, top, r, bottom, kWood[2]);
      img.Line(l + 3, bottom - 2, r - 4, top + kLidDepth, kWood[3]);  // brace
      img.Line(l + 3, top + kLidDepth, r - 4, bottom - 2, kWood[3]);
      if (o.kind == ObstacleKind::kBollardCrate) DrawText(img, l + 6, top + 10, "XPORT", 1, kInk[1]);
      break;
    }
    case ObstacleKind::kDumpster: {
      img.ShadeRect(l, top, r, bottom - 3, kGreen, [&](int x, int) { return 0.35 + ((x - l) % 10 < 2 ? 0.2 : 0.0); });
      img.FillRect(l + 3, bottom - 3, l + 8, bottom, kInk[0]);
      img.FillRect(r - 8, bottom - 3, r - 3, bottom, kInk[0]);
      img.HLine(l, r - 1, top + kLidDepth + 3, kGreen[1]);
      break;
    }
    case ObstacleKind::kTrashCans: {
      int mid = (l + r) / 2;
      for (int cx : {l, mid}) {
        img.ShadeRect(cx, top, cx + (r - l) / 2 - 1, bottom, kMetal, [&](int x, int) {
          // NOLINTNEXTLINE(bugprone-integer-division): the half width in whole pixels
          return 0.35 + 0.25 * std::sin((x - cx) / double((r - l) / 2) * 3.14159);
        });
        for (int y = top + 8; y < bottom; y += 6) img.HLine(cx, cx + (r - l) / 2 - 2, y, kMetal[2]);
      }
      break;
    }
    case ObstacleKind::kBarrier: {
      img.ShadeRect(l, top, r, bottom, kConcrete, [&](int, int y) { return 0.5 - 0.3 * (y - top) / double(o.height); });
      for (int x = l; x < r; ++x)
        for (int y = top + 8; y < top + 13; ++y) img.Set(x, y, ((x + y) / 5) % 2 ? kFire[8] : kPale[1]);
      break;
    }
    case ObstacleKind::kDrum: {
      img.ShadeRect(l, top, r, bottom, kContainerBlue,
                    [&](int x, int) { return 0.2 + 0.6 * std::sin((x - l) / double(r - l) * 3.14159); });
      img.HLine(l, r - 1, top + o.height / 3, kContainerBlue[0]);
      img.HLine(l, r - 1, top + 2 * o.height / 3, kContainerBlue[0]);
      img.FillCircle((l + r) / 2.0, top + o.height / 2.0, 3, kGold[3]);  // hazard mark
      break;
    }
    case ObstacleKind::kAirCon: {
      img.ShadeRect(l, top, r, bottom, kMetal, [&](int, int y) { return 0.55 - 0.25 * (y - top) / double(o.height); });
      img.FillCircle(l + (r - l) * 0.35, top + o.height * 0.55, o.height * 0.32, kInk[2]);
      for (int a = 0; a < 4; ++a) {
        double ang = a * 1.5708 + 0.4, cx = l + (r - l) * 0.35, cy = top + o.height * 0.55;
        img.Line(int(cx), int(cy), int(cx + std::cos(ang) * o.height * 0.3), int(cy + std::sin(ang) * o.height * 0.3),
                 kMetal[5]);
      }
      for (int y = top + 8; y < bottom - 3; y += 3) img.HLine(int(l + (r - l) * 0.65), r - 4, y, kMetal[3]);
      break;
    }
    case ObstacleKind::kChimney: {
      img.ShadeRect(l, top, r, bottom, kBrick, [&](int x, int y) {
        double v = 0.5;
        if (y % 4 == 0 || ((x + (y / 4 % 2) * 4) % 8 == 0)) v -= 0.12;
        return v;
      });
      break;
    }
  }
  // The lid is solid: the hero stands on it and bumps into it.
  img.FillRect(l, top, r, top + kLidDepth, kSolid);
  img.HLine(l, r - 1, top + kLidDepth, kInk[1]);
}

}  // namespace assetgen
