#pragma once
// Side-view fighters drawn from a pose: limbs as outlined, rim-lit capsules on a 72 x 74 cell.
#include <functional>
#include <optional>

#include "tools/assetgen/indexed_image.h"

namespace assetgen {

constexpr int kCellWidth = 72;
constexpr int kCellHeight = 74;
constexpr int kFeetRow = 68;  // the sole rests on this row; the street begins one row lower

// Angles in degrees: 0 points straight down, +90 points forward (to the right), 180 up.
struct Pose {
  double lean = 0;  // torso tilt forward
  double hip_x = 36;
  std::optional<double> hip_y;  // unset: stand so that the lowest foot rests on kFeetRow
  double near_thigh = 0, near_shin = 0, far_thigh = 0, far_shin = 0;
  double near_upper = 10, near_fore = 20, far_upper = 10, far_fore = 20;
  bool near_fist = true, far_fist = true;
  double head_tilt = 0;  // degrees, forward
  int expression = 0;    // 0 calm, 1 shouting, 2 hurt/surprised
};

struct Shade {
  uint8_t main, light, dark;
};

struct BodyStyle {
  double thigh = 13, shin = 13, torso = 17, upper_arm = 10.5, forearm = 10.5, neck = 2;
  double head_r = 6.5, chest_r = 6, waist_r = 5, leg_r = 3, arm_r = 2.4, hand_r = 2.6, foot_len = 5, foot_r = 2.2;
  Shade torso_shade{}, sleeve_shade{}, legs_shade{}, skin{}, shoe{};
  uint8_t outline = 0;
  // Drawn after the torso (shirt front, belt, stripes); gets the hip and neck points.
  std::function<void(IndexedImage&, double hx, double hy, double nx, double ny, const BodyStyle&)> torso_detail;
  // Draws the head at its centre, facing right.
  std::function<void(IndexedImage&, double cx, double cy, const Pose&, const BodyStyle&)> head;
  // Optional stripe down the outside of the near leg.
  std::optional<uint8_t> leg_stripe;
};

// Where the figure's parts ended up, for effects drawn around them.
struct Joints {
  double hip_x, hip_y, neck_x, neck_y, head_x, head_y;
  double near_hand_x, near_hand_y, far_hand_x, far_hand_y;
  double near_foot_x, near_foot_y, far_foot_x, far_foot_y;
};

// Draws the figure into a cell (which holds `background` where empty) and returns its joints.
Joints DrawFigure(IndexedImage& cell, const BodyStyle& style, const Pose& pose, uint8_t background);

// Outlined, rim-lit fill of the mask pixels (mask value != 0) onto the picture.
void PaintMask(IndexedImage& dst, const IndexedImage& mask, Shade shade, int outline);

}  // namespace assetgen
