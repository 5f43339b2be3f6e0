// The thugs: green tank top (the thug marker colour), black beanie, cargo trousers, heavy boots.
#include <cmath>

#include "tools/assetgen/sprite_strips.h"

namespace assetgen {
namespace {

using namespace pal;

void ThugHead(IndexedImage& c, double cx, double cy, const Pose& p, const BodyStyle& st) {
  IndexedImage mask(kCellWidth, kCellHeight, 0);
  mask.FillCircle(cx, cy, st.head_r, 1);
  mask.FillEllipse(cx + 1.5, cy + 3.2, 5.2, 3.6, 1);  // heavy jaw
  PaintMask(c, mask, Shade{kSkin[2], kSkin[3], kSkin[0]}, st.outline);
  // Stubble along the jaw.
  for (int y = int(cy + 2); y <= int(cy + 7); ++y)
    for (int x = int(cx - 2); x <= int(cx + 7); ++x)
      if (mask.At(x, y) && ((x + y) & 1) && c.At(x, y) != st.outline) c.Set(x, y, kSkin[1]);
  IndexedImage cap(kCellWidth, kCellHeight, 0);
  cap.FillEllipse(cx - 0.5, cy - 3.0, st.head_r + 0.8, 4.4, 1);
  for (int y = 0; y < kCellHeight; ++y)
    for (int x = 0; x < kCellWidth; ++x)
      if (y > cy - 1.5) cap.Set(x, y, 0);
  PaintMask(c, cap, Shade{kThugWear[0], kThugWear[2], kThugWear[0]}, st.outline);
  c.HLine(int(cx - 6), int(cx + 5), int(cy - 2), kThugWear[3]);  // folded brim
  const int ex = int(std::lround(cx + 3.4)), ey = int(std::lround(cy + 0.4));
  if (p.expression == 2) {
    c.FillRect(ex, ey - 1, ex + 2, ey + 1, kWhite);  // wide eyes
    c.Set(ex + 1, ey, kInk[0]);
  } else {
    c.Set(ex, ey, kWhite);
    c.Set(ex + 1, ey, kInk[0]);
  }
  c.Line(ex - 1, ey - 2, ex + 2, ey - 1, kInk[0]);  // scowl
  c.Set(int(cx + 6.5), int(cy + 1.5), kSkin[1]);
  if (p.expression >= 1)
    c.FillRect(ex, int(cy + 4), ex + 3, int(cy + 6), kBlood[0]);
  else
    c.HLine(ex - 1, ex + 2, int(cy + 4.5), kSkin[0]);
  c.Set(int(cx - 3), int(cy + 1), kSkin[4]);  // scar
  c.Set(int(cx - 2), int(cy + 2), kSkin[4]);
}

BodyStyle ThugStyle() {
  BodyStyle st;
  st.torso = 18, st.chest_r = 8.2, st.waist_r = 6.6, st.arm_r = 2.9, st.hand_r = 3.0, st.leg_r = 3.4;
  st.upper_arm = 11, st.forearm = 10.5, st.head_r = 6.2, st.foot_len = 6, st.foot_r = 2.5;
  st.torso_shade = {kThug, kThugShirt[2], kThugShirt[0]};
  st.sleeve_shade = {kThug, kThugShirt[2], kThugShirt[0]};  // long sleeves widen what a fist can hit
  st.legs_shade = {kThugWear[2], kThugWear[3], kThugWear[1]};
  st.skin = {kSkin[2], kSkin[3], kSkin[0]};
  st.shoe = {kThugWear[0], kThugWear[1], kThugWear[0]};
  st.outline = kInk[0];
  st.head = ThugHead;
  st.torso_detail = [](IndexedImage& c, double hx, double hy, double, double, const BodyStyle&) {
    int by = int(std::lround(hy - 1));
    for (int x = int(hx - 6); x <= int(hx + 6); ++x)
      if (c.At(x, by) == kThug || c.At(x, by) == kThugShirt[2] || c.At(x, by) == kThugShirt[0]) c.Set(x, by, kInk[1]);
    // A wallet chain hanging at the hip.
    for (int i = 0; i < 5; ++i) c.Set(int(hx - 3 + i), by + 2 + (i == 2 ? 1 : 0), (i & 1) ? kMetal[8] : kMetal[5]);
  };
  return st;
}

Pose Walk(int k) {
  static const double thigh_n[4] = {24, 2, -20, 16}, shin_n[4] = {10, -4, -34, -28};
  static const double thigh_f[4] = {-20, 16, 24, 2}, shin_f[4] = {-34, -28, 10, -4};
  static const double arm_n[4] = {-22, -4, 24, 6}, arm_f[4] = {24, 6, -22, -4};
  Pose p;
  p.lean = 12;
  p.hip_x = 34;
  p.near_thigh = thigh_n[k], p.near_shin = shin_n[k], p.far_thigh = thigh_f[k], p.far_shin = shin_f[k];
  p.near_upper = arm_n[k] + 8, p.near_fore = arm_n[k] + 30;
  p.far_upper = arm_f[k] + 8, p.far_fore = arm_f[k] + 30;
  return p;
}

Pose Attack(int k) {
  Pose p;
  p.hip_x = 31;
  p.near_thigh = 26, p.near_shin = 12, p.far_thigh = -22, p.far_shin = -16;
  p.far_upper = 30, p.far_fore = 120;
  switch (k) {
    case 0: p.lean = -4, p.near_upper = -70, p.near_fore = -20; break;  // haymaker wound back
    case 1: p.lean = 6, p.near_upper = 20, p.near_fore = 100; break;
    case 2: p.lean = 20, p.near_upper = 88, p.near_fore = 86, p.expression = 1; break;  // the blow
    default: p.lean = 12, p.near_upper = 56, p.near_fore = 120; break;
  }
  return p;
}

Pose Alerted(int k) {
  Pose p;
  p.lean = -6;
  p.hip_x = 34;
  p.near_thigh = 14, p.near_shin = 6, p.far_thigh = -16, p.far_shin = -10;
  p.near_upper = 60 + (k % 2) * 6, p.near_fore = 150;
  p.far_upper = 40 + (k % 2) * 6, p.far_fore = 140;
  p.expression = 2;
  return p;
}

void Exclamation(IndexedImage& c, int x, int y) {
  c.FillRect(x - 1, y - 1, x + 4, y + 8, kInk[0]);
  c.FillRect(x - 1, y + 8, x + 4, y + 12, kInk[0]);
  c.FillRect(x, y, x + 3, y + 6, kWindow[10]);
  c.FillRect(x, y + 8, x + 3, y + 11, kWindow[10]);
  c.VLine(x, y, y + 5, kWindow[11]);
}

IndexedImage ThugCell(int anim, int k) {
  IndexedImage cell(kCellWidth, kCellHeight, kTransparent);
  Pose p = anim == 2 ? Attack(k) : anim == 4 ? Alerted(k) : Walk(k);
  Joints j = DrawFigure(cell, ThugStyle(), p, kTransparent);
  if (anim == 4 && k != 2) Exclamation(cell, int(j.head_x) + 9, 1);  // beside the head, clear of the cap
  if (anim == 2 && k == 2) {
    int hx = int(j.near_hand_x) + 4, hy = int(j.near_hand_y);
    cell.Line(hx, hy - 4, hx + 4, hy - 7, kWindow[10]);
    cell.Line(hx + 1, hy, hx + 6, hy, kWindow[10]);
    cell.Line(hx, hy + 4, hx + 4, hy + 7, kWindow[10]);
  }
  return cell;
}

}  // namespace

std::vector<IndexedImage> ThugFrames() {
  std::vector<IndexedImage> frames(size_t(kThugAnimations) * 4);
  // Animations 0, 2, 4 face right; 1, 3, 5 are their mirror images.
  for (int a = 0; a < kThugAnimations; a += 2)
    for (int k = 0; k < 4; ++k) {
      frames[size_t(a) * 4 + k] = ThugCell(a, k);
      frames[size_t(a + 1) * 4 + k] = frames[size_t(a) * 4 + k].MirroredX();
    }
  return frames;
}

}  // namespace assetgen
