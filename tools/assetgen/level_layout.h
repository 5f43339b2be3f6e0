#pragma once
// The level's walkable geometry, shared by the screen painter and the playability checks.
#include <vector>

namespace assetgen {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kScreenCount = 13;
constexpr int kStreetRow = 309;   // first ground row: the feet of a hero at y 240 rest above it
constexpr int kGroundDepth = 14;  // rows of solid colour from the street row down
constexpr int kCalmRow = 370;     // from here down: message bar, kept dark
constexpr int kHudRows = 36;      // HUD bars and labels, kept dark
constexpr int kMaxObstacleHeight = 30;
constexpr int kLidDepth = 5;  // solid rows on top of an obstacle

enum class ObstacleKind { kCrate, kDumpster, kTrashCans, kBarrier, kDrum, kAirCon, kChimney, kBollardCrate, kPallet };

// An obstacle standing on the street: columns [left, right), its top `height` rows above the street.
// Only its lid is solid, so the hero is stopped by it and can stand on it.
struct Obstacle {
  int left, right, height;
  ObstacleKind kind;
};

const std::vector<Obstacle>& ScreenObstacles(int screen);  // screen 0..12

// Where the thugs start on each screen (x of the 72-pixel frame), from the game's placement.
std::vector<int> ThugStartsOnScreen(int screen);

}  // namespace assetgen
