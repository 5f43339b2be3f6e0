// Jed: red leather jacket (the hero marker colour), jeans with a red stripe, spiky dark hair.
#include <array>
#include <cmath>

#include "tools/assetgen/rng.h"
#include "tools/assetgen/sprite_strips.h"

namespace assetgen {
namespace {

using namespace pal;

void HeroHead(IndexedImage& c, double cx, double cy, const Pose& p, const BodyStyle& st) {
  IndexedImage mask(kCellWidth, kCellHeight, 0);
  mask.FillCircle(cx, cy, st.head_r, 1);
  mask.FillEllipse(cx + 1.5, cy + 3.0, 4.5, 3.2, 1);  // jaw
  PaintMask(c, mask, Shade{kSkin[3], kSkin[4], kSkin[1]}, st.outline);
  // Hair: swept back in spikes, covering the crown and the back of the head.
  IndexedImage hair(kCellWidth, kCellHeight, 0);
  hair.FillEllipse(cx - 1.2, cy - 2.6, st.head_r + 0.6, 4.2, 1);
  hair.FillEllipse(cx - 3.6, cy + 0.5, 3.4, 4.6, 1);
  hair.FillPolygon({{cx - 7, cy - 5}, {cx - 11.5, cy - 6.5}, {cx - 6.5, cy - 1.5}}, 1);
  hair.FillPolygon({{cx - 4, cy - 7}, {cx - 8.5, cy - 10.5}, {cx - 1, cy - 6}}, 1);
  hair.FillPolygon({{cx, cy - 7.5}, {cx - 2, cy - 11.5}, {cx + 3.5, cy - 6.5}}, 1);
  hair.FillPolygon({{cx + 3, cy - 6}, {cx + 6.5, cy - 8.5}, {cx + 6, cy - 3.5}}, 1);
  for (int y = 0; y < kCellHeight; ++y)
    for (int x = 0; x < kCellWidth; ++x)
      if (hair.At(x, y) && x > cx + 5.5 && y > cy - 3) hair.Set(x, y, 0);  // keep the brow clear
  PaintMask(c, hair, Shade{kHair[1], kHair[3], kHair[0]}, st.outline);
  const int ex = int(std::lround(cx + 3.2)), ey = int(std::lround(cy - 0.2));
  if (p.expression == 2) {
    c.HLine(ex - 1, ex + 1, ey, kInk[0]);
  } else {
    c.Set(ex, ey, kWhite);
    c.Set(ex + 1, ey, kInk[0]);
    c.Set(ex + 1, ey + 1, kInk[0]);
  }
  c.HLine(ex - 1, ex + 2, ey - 2, kHair[0]);    // brow, set low: determined
  c.Set(int(cx + 6.3), int(cy + 1), kSkin[2]);  // nose
  if (p.expression == 1) {
    c.FillRect(ex, int(cy + 3), ex + 3, int(cy + 5), kBlood[0]);
  } else {
    c.HLine(ex, ex + 2, int(cy + 3.6), kSkin[0]);
  }
  c.Set(int(cx - 1), int(cy + 1), kSkin[1]);  // ear
}

BodyStyle HeroStyle() {
  BodyStyle st;
  st.torso_shade = {kHero, kJacket[1], kJacket[2]};
  st.sleeve_shade = {kJacket[1], kJacket[0], kJacket[2]};  // sleeves off the marker: thugs see the body only
  st.legs_shade = {kJeans[2], kJeans[3], kJeans[0]};
  st.skin = {kSkin[3], kSkin[4], kSkin[1]};
  st.shoe = {kShoe[0], kShoe[2], kShoe[0]};
  st.outline = kInk[0];
  st.leg_stripe = kHero;
  st.head = HeroHead;
  st.torso_detail = [](IndexedImage& c, double hx, double hy, double nx, double ny, const BodyStyle&) {
    // White T-shirt showing at the open front of the jacket.
    double fx = nx + 3.5, fy = ny + 1.5;
    c.FillPolygon({{fx - 1.5, fy}, {fx + 2.2, fy}, {fx + 1.2 + (hx - nx) * 0.45, fy + (hy - ny) * 0.55}}, kShirt[2]);
    // Belt with a buckle.
    int by = int(std::lround(hy - 1));
    for (int x = int(hx - 5); x <= int(hx + 5); ++x)
      if (c.At(x, by) == kHero || c.At(x, by) == kJacket[1] || c.At(x, by) == kJacket[2]) c.Set(x, by, kShoe[1]);
    c.Set(int(hx + 3), by, kGold[3]);
  };
  return st;
}

Pose Stand(int k) {
  Pose p;
  p.lean = 6;
  p.near_thigh = 16, p.near_shin = 4, p.far_thigh = -14, p.far_shin = -8;
  double breathe = (k == 1 || k == 2) ? 4 : 0;
  p.near_upper = 28 + breathe, p.near_fore = 132 + breathe;
  p.far_upper = 18 + breathe, p.far_fore = 120 + breathe;
  p.hip_x = 35;
  return p;
}

Pose Walk(int k) {
  // Contact, passing, contact (other leg), passing.
  static const double thigh_n[4] = {26, 4, -22, 18}, shin_n[4] = {12, -4, -38, -30};
  static const double thigh_f[4] = {-22, 18, 26, 4}, shin_f[4] = {-38, -30, 12, -4};
  static const double arm_n[4] = {-28, -6, 30, 8}, arm_f[4] = {30, 8, -28, -6};
  Pose p;
  p.lean = 9;
  p.hip_x = 35;
  p.near_thigh = thigh_n[k], p.near_shin = shin_n[k], p.far_thigh = thigh_f[k], p.far_shin = shin_f[k];
  p.near_upper = arm_n[k], p.near_fore = arm_n[k] + 55;
  p.far_upper = arm_f[k], p.far_fore = arm_f[k] + 55;
  return p;
}

Pose Taunt(int k) {
  Pose p = Stand(0);
  p.lean = 0;
  p.near_upper = 160 + (k % 2) * 8, p.near_fore = 175;
  p.far_upper = 30, p.far_fore = 120;
  p.expression = 1;
  return p;
}

Pose Rise(int k) {
  Pose p;
  p.lean = 10;
  p.hip_y = 36 - (k % 2);
  p.near_thigh = 78, p.near_shin = -12 + k * 2, p.far_thigh = 26, p.far_shin = -58;
  p.near_upper = 150 + k * 3, p.near_fore = 168;
  p.far_upper = -40, p.far_fore = 10;
  return p;
}

Pose Fall(int k) {
  Pose p;
  p.lean = 4;
  p.hip_y = 38 + (k % 2);
  p.near_thigh = 24, p.near_shin = 6, p.far_thigh = -14, p.far_shin = -24;
  p.near_upper = 112 - k * 3, p.near_fore = 132;
  p.far_upper = -95 + k * 3, p.far_fore = -130;
  p.far_fist = false, p.near_fist = false;
  return p;
}

Pose Punch(int k) {
  Pose p;
  p.hip_x = 32;
  p.near_thigh = 28, p.near_shin = 14, p.far_thigh = -24, p.far_shin = -20;
  p.far_upper = 24, p.far_fore = 128;
  switch (k) {
    case 0: p.lean = 8, p.near_upper = 40, p.near_fore = 134; break;                    // guard
    case 1: p.lean = 16, p.near_upper = 90, p.near_fore = 90, p.expression = 1; break;  // fist out
    case 2: p.lean = 13, p.near_upper = 66, p.near_fore = 108; break;                   // pulling back
    default: p.lean = 9, p.near_upper = 44, p.near_fore = 140; break;
  }
  return p;
}

Pose Special(int k) {
  Pose p;
  switch (k) {
    case 0:  // crouched, gathering rage
      p.lean = 22, p.hip_x = 33;
      p.near_thigh = 58, p.near_shin = -30, p.far_thigh = -18, p.far_shin = -52;
      p.near_upper = 40, p.near_fore = 120, p.far_upper = 30, p.far_fore = 110;
      p.expression = 1;
      break;
    case 1:  // flying kick, foot out at chest height
    case 2:
      p.lean = -24, p.hip_x = 30, p.hip_y = 40;
      p.near_thigh = 84, p.near_shin = 88;
      p.far_thigh = -10, p.far_shin = -70;
      p.near_upper = -60, p.near_fore = -20, p.far_upper = 70, p.far_fore = 140;
      p.expression = 1;
      if (k == 2) p.near_thigh = 80, p.near_shin = 82, p.hip_y = 41;
      break;
    default:  // landing
      p.lean = 12, p.hip_x = 34;
      p.near_thigh = 40, p.near_shin = 0, p.far_thigh = -20, p.far_shin = -40;
      p.near_upper = 50, p.near_fore = 130, p.far_upper = 20, p.far_fore = 110;
      break;
  }
  return p;
}

// Flames around a point: fire ramp from a red rim to a white core.
void Flame(IndexedImage& c, double x, double y, double r, Rng& rng) {
  for (int i = 0; i < 6; ++i) {
    double ox = (rng.Unit() - 0.5) * r, oy = (rng.Unit() - 0.7) * r;
    c.FillCircle(x + ox, y + oy, r * (0.55 + 0.3 * rng.Unit()), kFire[3]);
  }
  c.FillCircle(x, y, r * 0.7, kFire[7]);
  c.FillCircle(x, y, r * 0.42, kFire[11]);
  c.FillCircle(x, y, r * 0.2, kFire[13]);
}

void SpeedLines(IndexedImage& c, double x, double y, int len) {
  for (int i = -1; i <= 1; ++i) {
    int yy = int(std::lround(y + i * 3));
    int x1 = int(x) - 7 + std::abs(i) * 2;
    c.HLine(x1 - len, x1, yy, i == 0 ? kPale[1] : kPale[0]);
  }
}

void Spark(IndexedImage& c, double x, double y, int r) {
  int cx = int(std::lround(x)), cy = int(std::lround(y));
  c.HLine(cx - r, cx + r, cy, kWindow[10]);
  c.VLine(cx, cy - r, cy + r, kWindow[10]);
  c.Line(cx - r + 2, cy - r + 2, cx + r - 2, cy + r - 2, kWindow[11]);
  c.Line(cx - r + 2, cy + r - 2, cx + r - 2, cy - r + 2, kWindow[11]);
  c.Set(cx, cy, kWhite);
}

IndexedImage HeroCell(int anim, int k) {
  const BodyStyle st = HeroStyle();
  IndexedImage cell(kCellWidth, kCellHeight, kTransparent);
  Pose p;
  switch (anim) {
    case 0: p = Walk(k); break;
    case 1: p = Stand(k); break;
    case 2: p = Taunt(k); break;
    case 5: p = Rise(k); break;
    case 6: p = Fall(k); break;
    case 9: p = Punch(k); break;
    case 11: p = Special(k); break;
    default: p = Stand(k); break;
  }
  if (anim == 11) {
    // The rage aura sits behind the body: find the joints first, then draw over the flames.
    IndexedImage scratch(kCellWidth, kCellHeight, kTransparent);
    Joints j = DrawFigure(scratch, st, p, kTransparent);
    Rng rng(1100 + k);
    if (k == 0) {
      Flame(cell, j.near_hand_x, j.near_hand_y, 6, rng);
      Flame(cell, j.far_hand_x, j.far_hand_y, 4, rng);
    } else if (k == 1 || k == 2) {
      double size = k == 1 ? 9 : 6.5;
      for (int i = 0; i < 4; ++i) {
        double t = i / 3.0;
        Flame(cell, j.hip_x + (j.near_foot_x - j.hip_x) * t - 4 * (1 - t), j.hip_y + (j.near_foot_y - j.hip_y) * t,
              size * (0.55 + 0.45 * t), rng);
      }
    }
  }
  Joints j = DrawFigure(cell, st, p, kTransparent);
  if (anim == 9 && k == 1) {
    SpeedLines(cell, j.near_hand_x - 6, j.near_hand_y, 8);
    Spark(cell, j.near_hand_x + 4, j.near_hand_y, 4);
  }
  if (anim == 11 && k == 1) Spark(cell, j.near_foot_x + 6, j.near_foot_y, 5);
  return cell;
}

}  // namespace

std::vector<IndexedImage> HeroFrames() {
  std::vector<IndexedImage> frames(size_t(kHeroAnimations) * 4);
  // Facing-left animations are mirror images of their facing-right twins.
  static const int mirror_of[kHeroAnimations] = {-1, -1, -1, 1, 0, -1, -1, 5, 6, -1, 9, -1, 11};
  for (int a = 0; a < kHeroAnimations; ++a)
    if (mirror_of[a] < 0)
      for (int k = 0; k < 4; ++k) frames[size_t(a) * 4 + k] = HeroCell(a, k);
  for (int a = 0; a < kHeroAnimations; ++a)
    if (mirror_of[a] >= 0)
      for (int k = 0; k < 4; ++k) frames[size_t(a) * 4 + k] = frames[size_t(mirror_of[a]) * 4 + k].MirroredX();
  return frames;
}

}  // namespace assetgen
