#include "tools/assetgen/level_layout.h"

#include <array>
#include <cstddef>

namespace assetgen {

const std::vector<Obstacle>& ScreenObstacles(int screen) {
  using K = ObstacleKind;
  // Clear of every thug's start and patrol turn boxes, and of the screen edges.
  static const std::array<std::vector<Obstacle>, kScreenCount> layout = {{
      {{330, 362, 22, K::kTrashCans}},
      {{236, 304, 28, K::kDumpster}},
      {{200, 246, 24, K::kCrate}, {470, 516, 20, K::kCrate}},
      {{160, 210, 18, K::kBarrier}, {440, 490, 18, K::kBarrier}},
      {{96, 160, 28, K::kDumpster}, {440, 476, 22, K::kTrashCans}},
      {{100, 134, 26, K::kDrum}, {440, 474, 26, K::kDrum}},
      {{430, 490, 24, K::kCrate}},
      {{110, 150, 30, K::kChimney}, {430, 494, 26, K::kAirCon}},
      {{106, 170, 26, K::kAirCon}, {436, 476, 30, K::kChimney}},
      {{100, 150, 24, K::kBollardCrate}, {430, 490, 28, K::kBollardCrate}},
      {{96, 160, 26, K::kPallet}},
      {{250, 300, 28, K::kCrate}, {380, 430, 24, K::kCrate}},
      {{420, 456, 26, K::kDrum}},
  }};
  return layout.at(size_t(screen));
}

std::vector<int> ThugStartsOnScreen(int screen) {
  static const int starts[29] = {1040, 740,  1380, 1580, 2220, 2470, 2760, 2860, 3400, 3500,
                                 4040, 4140, 4680, 4780, 5320, 5420, 5960, 6060, 6600, 6800,
                                 6900, 7140, 7540, 7780, 7880, 7980, 6600, 6700, 6800};
  std::vector<int> out;
  for (int x : starts)
    if (x / kScreenWidth == screen) out.push_back(x - screen * kScreenWidth);
  return out;
}

}  // namespace assetgen
