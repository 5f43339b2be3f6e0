#include "tools/assetgen/figure.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

struct Vec {
  double x, y;
};

Vec Along(Vec from, double angle_deg, double len) {
  return {from.x + std::sin(angle_deg * kDeg) * len, from.y + std::cos(angle_deg * kDeg) * len};
}

// One body part: its own mask, outlined and shaded on its own so overlapping parts stay apart.
class Part {
 public:
  Part() : mask_(kCellWidth, kCellHeight, 0) {}
  IndexedImage& mask() { return mask_; }
  void Capsule(Vec a, Vec b, double r) { mask_.Capsule(a.x, a.y, b.x, b.y, r, 1); }
  void Circle(Vec c, double r) { mask_.FillCircle(c.x, c.y, r, 1); }
  void Paint(IndexedImage& dst, Shade s, uint8_t outline) const { PaintMask(dst, mask_, s, outline); }

 private:
  IndexedImage mask_;
};

struct Limb {
  Vec root, mid, end;
};

Limb MakeLimb(Vec root, double a1, double l1, double a2, double l2) {
  Vec mid = Along(root, a1, l1);
  return {root, mid, Along(mid, a2, l2)};
}

Shade Darker(Shade s) { return {s.dark, s.main, s.dark}; }

void PaintArm(IndexedImage& cell, const BodyStyle& st, const Limb& arm, bool fist, bool far) {
  Part sleeve;
  sleeve.Capsule(arm.root, arm.mid, st.arm_r + 0.6);
  sleeve.Capsule(arm.mid, arm.end, st.arm_r);
  sleeve.Paint(cell, far ? Darker(st.sleeve_shade) : st.sleeve_shade, st.outline);
  Part hand;
  hand.Circle(arm.end, fist ? st.hand_r + 0.4 : st.hand_r - 0.3);
  hand.Paint(cell, far ? Darker(st.skin) : st.skin, st.outline);
}

void PaintLeg(IndexedImage& cell, const BodyStyle& st, const Limb& leg, bool far, double lean_sign) {
  Part shoe;
  Vec toe{leg.end.x + st.foot_len * lean_sign, leg.end.y};
  shoe.Capsule(leg.end, toe, st.foot_r);
  Part pants;
  pants.Capsule(leg.root, leg.mid, st.leg_r + 0.5);
  pants.Capsule(leg.mid, leg.end, st.leg_r);
  pants.Paint(cell, far ? Darker(st.legs_shade) : st.legs_shade, st.outline);
  if (!far && st.leg_stripe) {
    // A thin racing stripe down the front of the near leg.
    IndexedImage stripe(kCellWidth, kCellHeight, 0);
    stripe.Capsule(leg.root.x + 1.2, leg.root.y + 1, leg.mid.x + 1.2, leg.mid.y, 0.7, 1);
    stripe.Capsule(leg.mid.x + 1.0, leg.mid.y, leg.end.x + 0.8, leg.end.y - 2, 0.7, 1);
    for (int y = 0; y < kCellHeight; ++y)
      for (int x = 0; x < kCellWidth; ++x)
        if (stripe.At(x, y) && pants.mask().At(x, y) && pants.mask().At(x + 1, y) && pants.mask().At(x - 1, y))
          cell.Set(x, y, *st.leg_stripe);
  }
  shoe.Paint(cell, far ? Darker(st.shoe) : st.shoe, st.outline);
}

}  // namespace

void PaintMask(IndexedImage& dst, const IndexedImage& mask, Shade shade, int outline) {
  const int w = mask.width(), h = mask.height();
  if (outline >= 0) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (mask.At(x, y)) continue;
        if (mask.At(x - 1, y) || mask.At(x + 1, y) || mask.At(x, y - 1) || mask.At(x, y + 1))
          dst.Set(x, y, uint8_t(outline));
      }
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!mask.At(x, y)) continue;
      uint8_t c = shade.main;
      if (!mask.At(x + 1, y - 1) || !mask.At(x, y - 1))
        c = shade.light;
      else if (!mask.At(x - 1, y + 1) || !mask.At(x - 2, y + 2))
        c = shade.dark;
      dst.Set(x, y, c);
    }
}

Joints DrawFigure(IndexedImage& cell, const BodyStyle& st, const Pose& p, uint8_t background) {
  (void)background;
  double hip_y;
  if (p.hip_y) {
    hip_y = *p.hip_y;
  } else {
    double near_drop = std::cos(p.near_thigh * kDeg) * st.thigh + std::cos(p.near_shin * kDeg) * st.shin;
    double far_drop = std::cos(p.far_thigh * kDeg) * st.thigh + std::cos(p.far_shin * kDeg) * st.shin;
    hip_y = kFeetRow - st.foot_r - 0.5 - std::max(near_drop, far_drop);  // outline on kFeetRow
  }
  Vec hip{p.hip_x, hip_y};
  Vec neck = Along(hip, 180 - p.lean, st.torso);
  Vec shoulder_near{neck.x + 0.5, neck.y + 1.5};
  Vec shoulder_far{neck.x - 1.5, neck.y + 1.0};
  Vec head = Along(neck, 180 - p.lean - p.head_tilt, st.neck + st.head_r);

  Limb far_arm = MakeLimb(shoulder_far, p.far_upper, st.upper_arm, p.far_fore, st.forearm);
  Limb near_arm = MakeLimb(shoulder_near, p.near_upper, st.upper_arm, p.near_fore, st.forearm);
  Limb far_leg = MakeLimb({hip.x - 1.5, hip.y}, p.far_thigh, st.thigh, p.far_shin, st.shin);
  Limb near_leg = MakeLimb({hip.x + 1.0, hip.y}, p.near_thigh, st.thigh, p.near_shin, st.shin);

  PaintArm(cell, st, far_arm, p.far_fist, true);
  PaintLeg(cell, st, far_leg, true, 1.0);

  Part torso;
  Vec chest = Along(hip, 180 - p.lean, st.torso * 0.62);
  torso.Capsule(hip, chest, st.waist_r);
  torso.Capsule(chest, Along(neck, -p.lean, 1.0), st.chest_r);
  torso.Paint(cell, st.torso_shade, st.outline);
  if (st.torso_detail) st.torso_detail(cell, hip.x, hip.y, neck.x, neck.y, st);

  PaintLeg(cell, st, near_leg, false, 1.0);
  if (st.head) st.head(cell, head.x, head.y, p, st);
  PaintArm(cell, st, near_arm, p.near_fist, false);

  return Joints{hip.x,          hip.y,          neck.x,         neck.y,        head.x,
                head.y,         near_arm.end.x, near_arm.end.y, far_arm.end.x, far_arm.end.y,
                near_leg.end.x, near_leg.end.y, far_leg.end.x,  far_leg.end.y};
}

}  // namespace assetgen
