#pragma once
// Building blocks of the night city: sky, skylines, facades, lamps, signs and the street.
#include <string_view>

#include "tools/assetgen/indexed_image.h"
#include "tools/assetgen/level_layout.h"
#include "tools/assetgen/rng.h"

namespace assetgen {

// Night sky from the zenith down to `horizon`; `glow` in [0, 1] warms the horizon.
void DrawSky(IndexedImage& img, int horizon, double glow, Rng& rng, int star_count);
void DrawMoon(IndexedImage& img, int cx, int cy, int r);

// A band of far silhouettes with scattered tiny lights, standing on `base`.
void DrawSkyline(IndexedImage& img, int base, int min_h, int max_h, pal::Ramp tone, int tone_level, Rng& rng,
                 double light_density);

enum class Facade { kBrick, kSteel, kConcrete, kDark };

// A building front from x0 to x1 (exclusive), roof at `top`, standing on `bottom`.
void DrawBuilding(IndexedImage& img, int x0, int x1, int top, int bottom, Facade facade, Rng& rng,
                  double lit_share = 0.35, bool cornice = true);
void DrawWindow(IndexedImage& img, int x, int y, int w, int h, bool lit, Rng& rng);
void DrawFireEscape(IndexedImage& img, int x0, int x1, int top, int bottom);
void DrawStreetLamp(IndexedImage& img, int x, int base, int height, bool lit = true);
// Neon lettering with a glow halo, on a dark backing board when `board`.
void DrawNeonSign(IndexedImage& img, int x, int y, std::string_view text, int scale, pal::Ramp neon, bool board);
void DrawChainFence(IndexedImage& img, int x0, int x1, int top, int bottom);
void DrawBillboard(IndexedImage& img, int x, int y, int w, int h, Rng& rng, int variant);
void DrawWaterTower(IndexedImage& img, int x, int base);
void DrawFireBarrel(IndexedImage& img, int x, int base);
void DrawGraffiti(IndexedImage& img, int x, int y, std::string_view text, Rng& rng);
void DrawSteam(IndexedImage& img, int x, int base, Rng& rng);

// The ground from the street row down: sidewalk (solid on top), kerb and road, fading into
// the dark message-bar area.
enum class Ground { kStreet, kRooftop, kPier, kWarehouseFloor, kLair };
void DrawGround(IndexedImage& img, Ground ground, Rng& rng);
void DrawObstacle(IndexedImage& img, const Obstacle& o);

// Darkens everything from kCalmRow down toward black, so the message bar reads well.
void CalmLowerArea(IndexedImage& img);
// Lightens or darkens a rectangle by remapping each pixel within its ramp.
void Glow(IndexedImage& img, int cx, int cy, int rx, int ry, pal::Ramp ramp, double strength);

}  // namespace assetgen
