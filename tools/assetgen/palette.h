#pragma once
// The one palette every picture shares, and the indices the game gives a meaning to.
#include <array>
#include <cstdint>

namespace assetgen {

struct Rgb {
  uint8_t r, g, b;
};

using Palette = std::array<Rgb, 256>;

// The game's own meanings: collision and HUD read these exact indices.
namespace pal {
constexpr uint8_t kBlack = 0;
constexpr uint8_t kSolid = 64;         // ground and walls
constexpr uint8_t kHero = 103;         // hero marker (jacket)
constexpr uint8_t kThug = 150;         // thug marker (shirt)
constexpr uint8_t kTransparent = 196;  // sprite colour key
constexpr uint8_t kHealth = 249;
constexpr uint8_t kRage = 252;
constexpr uint8_t kWhite = 255;

// Ramps, dark to light. Each ramp is [first, first + count).
struct Ramp {
  uint8_t first, count;
  uint8_t operator[](int i) const {
    if (i < 0) i = 0;
    if (i >= count) i = count - 1;
    return static_cast<uint8_t>(first + i);
  }
};
constexpr Ramp kInk{1, 6};        // outlines and near-black blues
constexpr Ramp kNight{7, 9};      // deep night shadows for the lower screen
constexpr Ramp kSky{16, 16};      // zenith navy to horizon violet
constexpr Ramp kFar{32, 8};       // far skyline silhouettes
constexpr Ramp kSteel{40, 8};     // blue-grey facades
constexpr Ramp kBrick{48, 12};    // brick and rust
constexpr Ramp kConcrete{65, 8};  // pavement, kerb, asphalt (not the solid index)
constexpr Ramp kAsphalt{73, 7};
constexpr Ramp kWindow{80, 12};  // lit windows, lamp glow, dark amber to pale yellow
constexpr Ramp kPink{92, 8};     // neon pink
constexpr Ramp kMoon{100, 3};
constexpr Ramp kJacket{104, 3};  // hero jacket highlight, light, shadow (103 is the body)
constexpr Ramp kJeans{107, 4};
constexpr Ramp kSkin{111, 6};
constexpr Ramp kHair{117, 4};
constexpr Ramp kShirt{121, 3};  // hero's white T-shirt
constexpr Ramp kShoe{124, 3};
constexpr Ramp kCyan{128, 10};  // neon cyan, water glints
constexpr Ramp kWater{138, 6};
constexpr Ramp kThugWear{144, 6};   // thug trousers, boots, cap
constexpr Ramp kThugShirt{151, 4};  // shirt shades around the marker
constexpr Ramp kTattoo{155, 2};
constexpr Ramp kWood{157, 12};
constexpr Ramp kMetal{169, 10};
constexpr Ramp kContainerRed{179, 5};
constexpr Ramp kContainerBlue{184, 5};
constexpr Ramp kGreen{189, 7};  // park foliage at night
constexpr Ramp kFire{197, 14};  // deep red to white-hot yellow
constexpr Ramp kBlood{211, 6};  // dark reds for the villain and game over
constexpr Ramp kPurple{217, 10};
constexpr Ramp kGrey{227, 18};  // neutral greys
constexpr Ramp kGold{245, 4};
constexpr Ramp kHudFrame{250, 2};
constexpr Ramp kPale{253, 2};
}  // namespace pal

const Palette& SharedPalette();

}  // namespace assetgen
