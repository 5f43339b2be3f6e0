#include "tools/assetgen/palette.h"

#include <cmath>

namespace assetgen {
namespace {

void Set(Palette& p, int index, int r, int g, int b) {
  p[index] = Rgb{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

// Linear blend from a to b over the ramp, optionally eased by gamma.
void Fill(Palette& p, pal::Ramp ramp, Rgb a, Rgb b, double gamma = 1.0) {
  for (int i = 0; i < ramp.count; ++i) {
    double t = ramp.count == 1 ? 0.0 : std::pow(double(i) / (ramp.count - 1), gamma);
    Set(p, ramp.first + i, int(std::lround(a.r + (b.r - a.r) * t)), int(std::lround(a.g + (b.g - a.g) * t)),
        int(std::lround(a.b + (b.b - a.b) * t)));
  }
}

// Three-point ramp: dark to mid over the first half, mid to light over the rest.
void Fill3(Palette& p, pal::Ramp ramp, Rgb a, Rgb m, Rgb b) {
  int half = ramp.count / 2;
  Fill(p, pal::Ramp{ramp.first, uint8_t(half + 1)}, a, m);
  Fill(p, pal::Ramp{uint8_t(ramp.first + half), uint8_t(ramp.count - half)}, m, b);
}

Palette Build() {
  Palette p{};
  for (auto& e : p) e = Rgb{40, 0, 40};
  using namespace pal;
  Set(p, kBlack, 0, 0, 0);
  Fill(p, kInk, {6, 6, 12}, {26, 28, 44});
  Fill(p, kNight, {8, 10, 20}, {34, 38, 60});
  Fill3(p, kSky, {6, 8, 26}, {30, 26, 70}, {104, 52, 104});
  Fill(p, kFar, {16, 16, 38}, {70, 66, 110});
  Fill(p, kSteel, {30, 34, 52}, {104, 112, 136});
  Fill3(p, kBrick, {34, 16, 18}, {100, 44, 36}, {168, 96, 72});
  Set(p, kSolid, 112, 114, 128);  // sidewalk top: the walkable surface
  Fill(p, kConcrete, {54, 56, 70}, {150, 152, 164});
  Fill(p, kAsphalt, {16, 16, 24}, {58, 58, 70});
  Fill3(p, kWindow, {90, 50, 10}, {230, 160, 50}, {255, 244, 190});
  Fill3(p, kPink, {90, 10, 60}, {230, 40, 160}, {255, 190, 240});
  Fill(p, kMoon, {190, 196, 210}, {250, 250, 236});
  Set(p, kHero, 176, 28, 30);  // red leather jacket
  Set(p, kJacket[0], 228, 84, 70);
  Set(p, kJacket[1], 204, 50, 44);
  Set(p, kJacket[2], 110, 14, 22);
  Fill(p, kJeans, {24, 34, 66}, {74, 100, 156});
  Fill3(p, kSkin, {96, 52, 36}, {200, 134, 96}, {250, 206, 168});
  Fill(p, kHair, {24, 14, 10}, {96, 58, 30});
  Fill(p, kShirt, {176, 180, 196}, {246, 246, 250});
  Fill(p, kShoe, {20, 18, 20}, {80, 70, 64});
  Fill3(p, kCyan, {6, 40, 60}, {20, 190, 220}, {200, 255, 255});
  Fill(p, kWater, {6, 14, 32}, {36, 66, 106});
  Fill(p, kThugWear, {22, 22, 26}, {100, 98, 104});
  Set(p, kThug, 64, 150, 48);  // thug tank top, a hard green
  Set(p, kThugShirt[0], 30, 84, 24);
  Set(p, kThugShirt[1], 46, 116, 34);
  Set(p, kThugShirt[2], 104, 190, 80);
  Set(p, kThugShirt[3], 150, 220, 120);
  Fill(p, kTattoo, {40, 60, 100}, {70, 90, 140});
  Fill3(p, kWood, {40, 24, 14}, {120, 78, 42}, {200, 150, 96});
  Fill(p, kMetal, {30, 34, 40}, {170, 178, 188});
  Fill(p, kContainerRed, {70, 20, 16}, {176, 70, 46});
  Fill(p, kContainerBlue, {16, 34, 70}, {60, 100, 160});
  Fill(p, kGreen, {6, 20, 16}, {46, 96, 60});
  Set(p, kTransparent, 255, 0, 255);  // never shown
  Fill3(p, kFire, {110, 10, 6}, {240, 110, 20}, {255, 250, 200});
  Fill(p, kBlood, {40, 2, 6}, {160, 16, 20});
  Fill3(p, kPurple, {26, 8, 40}, {110, 40, 160}, {210, 160, 255});
  Fill(p, kGrey, {20, 20, 22}, {220, 220, 224});
  Fill(p, kGold, {120, 84, 20}, {250, 210, 90});
  Set(p, kHealth, 224, 40, 48);
  Set(p, kHudFrame[0], 60, 64, 84);
  Set(p, kHudFrame[1], 150, 156, 180);
  Set(p, kRage, 255, 170, 20);
  Set(p, kPale[0], 200, 210, 230);
  Set(p, kPale[1], 236, 240, 248);
  Set(p, kWhite, 255, 255, 255);
  return p;
}

}  // namespace

const Palette& SharedPalette() {
  static const Palette palette = Build();
  return palette;
}

}  // namespace assetgen
