// A model hero, moved by the game's walking, jumping, ground and wall rules on the generated
// screens, must get from the first screen to the victory line on the last by walking right
// and jumping whenever something stops him.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tools/assetgen/asset_files.h"

namespace {

using namespace assettest;

constexpr uint8_t kSolid = 64;
constexpr int kW = 72, kH = 74;

// The game's colour scan: clamped rectangle, rows then columns, first match's column; a match
// in column 0 reads as none.
int ColorScan(const Picture& p, int x1, int y1, int x2, int y2) {
  x1 = std::clamp(x1, 0, 639), x2 = std::clamp(x2, 0, 639);
  y1 = std::clamp(y1, 0, 479), y2 = std::clamp(y2, 0, 479);
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if (p.At(x, y) == kSolid) return x;
  return 0;
}

struct ModelHero {
  float x = 16, y = 200, vel_y = 0;
  int airborne = 0, screen = 0;
  bool landed = true;

  // One level frame with Right held and Up as given; false if the ground loop ran away.
  bool Frame(const std::vector<Picture>& screens, bool up) {
    int step = 4;
    x += 4;  // walking right
    if (up) {
      landed = false;
      if (airborne == 0 && vel_y == 0.0f) {
        vel_y = -6.0f;
        airborne = 1;
      } else if (airborne == 1) {
        vel_y += 0.45f;
      }
    } else if (!landed) {
      vel_y += 0.45f;
    }
    if (airborne == 1) {
      landed = false;
      y += y <= 380 ? vel_y : 8;
    } else {
      y += 8;
      vel_y = 0.1f;
    }
    const Picture& p = screens[size_t(screen)];
    for (int guard = 0;; ++guard) {
      if (guard > 480) return false;
      int found;
      if (x <= -25) {
        found = ColorScan(p, 1, int(y + 60), int(x + kW - 26), int(y + kH - 6));
      } else {
        found = ColorScan(p, int(x + 25), int(y + 60), int(x + kW - 26), int(y + kH - 6));
        if (!found) found = ColorScan(p, int(x + 28), int(y + 60), int(x + kW - 29), int(y + kH - 6));
      }
      if (!found) break;
      y -= 1, airborne = 0, landed = true, vel_y = 0;
    }
    while (ColorScan(p, int(x + 26), int(y + 25), int(x + kW - 36), int(y + kH - 12))) x += 1;
    while (ColorScan(p, int(x + kW - 36), int(y + 25), int(x + kW - 27), int(y + kH - 12))) x -= 1;
    if (x > 640 - kW / 2.0f) {
      x -= float(step);
      if (screen < 12) ++screen, x = -kW / 2.0f;
    }
    return true;
  }
};

TEST(LevelWalkthrough, WalkingRightAndJumpingWhenStoppedReachesTheVictoryLine) {
  std::vector<Picture> screens;
  for (const std::string& name : Landscapes()) screens.push_back(LoadPicture(name));
  ASSERT_EQ(screens.size(), 13u);

  ModelHero hero;
  int stuck = 0, jump_frames = 0, frames = 0, jumps = 0;
  float last_x = hero.x;
  int last_screen = 0;
  bool won = false;
  for (; frames < 20000 && !won; ++frames) {
    won = hero.screen == 12 && hero.x > 500;
    if (won) break;
    bool up = jump_frames > 0;
    if (jump_frames > 0) --jump_frames;
    ASSERT_TRUE(hero.Frame(screens, up)) << "ground scan never ended on screen " << hero.screen;
    ASSERT_LT(hero.y, 300.0f) << "fell through the street on screen " << hero.screen << " at x " << hero.x;
    ASSERT_GT(hero.y, 150.0f) << "lifted off the top on screen " << hero.screen;
    if (hero.screen != last_screen) {
      EXPECT_EQ(hero.screen, last_screen + 1);
      last_screen = hero.screen, last_x = hero.x, stuck = 0;
      continue;
    }
    if (hero.airborne == 0 && hero.x <= last_x + 0.5f && jump_frames == 0) {
      if (++stuck >= 2) stuck = 0, jump_frames = 14, ++jumps;
    } else {
      stuck = 0;
    }
    last_x = hero.x;
  }
  EXPECT_TRUE(won) << "stopped on screen " << hero.screen << " at x " << hero.x;
  // Straight walking takes 13 x 640 / 4 frames; obstacles should cost little more.
  EXPECT_LT(frames, 13 * 160 + 600);
  EXPECT_GT(jumps, 5) << "the obstacles should make the hero jump";
}

TEST(LevelWalkthrough, OnTheStreetTheHeroRestsWhereTheThugsStand) {
  // Away from obstacles the ground test settles the feet on the street row, at y 240.
  for (const std::string& name : Landscapes()) {
    const Picture p = LoadPicture(name);
    for (int x0 : {-30, 20, 600}) {
      bool clear = true;
      for (int x = std::max(0, x0); x < std::min(640, x0 + kW); ++x)
        for (int y = 279; y < 309; ++y) clear = clear && p.At(x, y) != kSolid;
      if (!clear) continue;
      ModelHero hero;
      hero.x = float(x0) - 4;  // Frame() walks 4 first
      hero.y = 240;
      ASSERT_TRUE(hero.Frame({p}, false));
      EXPECT_FLOAT_EQ(hero.y, 240.0f) << name << " x " << x0;
      EXPECT_EQ(hero.airborne, 0);
    }
  }
}

TEST(LevelWalkthrough, NoThugStartsInsideAWallTurn) {
  // A thug whose turn boxes find solid colour where it starts would spin on the spot.
  static const int starts[29] = {1040, 740,  1380, 1580, 2220, 2470, 2760, 2860, 3400, 3500,
                                 4040, 4140, 4680, 4780, 5320, 5420, 5960, 6060, 6600, 6800,
                                 6900, 7140, 7540, 7780, 7880, 7980, 6600, 6700, 6800};
  std::vector<Picture> screens;
  for (const std::string& name : Landscapes()) screens.push_back(LoadPicture(name));
  for (int start : starts) {
    const Picture& p = screens[size_t(start / 640)];
    const int x = start % 640, y = 240;
    EXPECT_EQ(ColorScan(p, x + 5, y + 29, x + kW - 40, y + kH - 12), 0) << "thug at " << start;
    EXPECT_EQ(ColorScan(p, x + 40, y + 29, x + kW - 5, y + kH - 12), 0) << "thug at " << start;
  }
}

}  // namespace
