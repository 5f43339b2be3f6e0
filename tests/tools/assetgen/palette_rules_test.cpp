// The game finds ground, walls and hits by palette index, so each marker colour may appear
// only where it means something.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tools/assetgen/asset_files.h"

namespace {

using namespace assettest;

constexpr uint8_t kSolid = 64, kHero = 103, kThug = 150, kKey = 196;
constexpr int kStreetRow = 309;

double Brightness(const Picture& p, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* c = &p.rgb[p.At(x, y) * 3];
      sum += 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
    }
  return sum / ((x1 - x0) * (y1 - y0));
}

// Leftmost and rightmost drawn column of a frame (transparent key excluded).
std::pair<int, int> Extent(const Picture& cell, int y0, int y1) {
  int lo = 72, hi = -1;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < 72; ++x)
      if (cell.At(x, y) != kKey) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

// Number of columns between the first and last column holding `index` in rows [y0, y1).
int ColumnSpan(const Picture& cell, uint8_t index, int y0, int y1) {
  int lo = 72, hi = -1;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < 72; ++x)
      if (cell.At(x, y) == index) lo = std::min(lo, x), hi = std::max(hi, x);
  return hi - lo + 1;
}

TEST(PaletteRules, LandscapesHaveAnUnbrokenStreetLowObstaclesAndNoSpriteColours) {
  for (const std::string& name : Landscapes()) {
    SCOPED_TRACE(name);
    const Picture p = LoadPicture(name);
    ASSERT_EQ(p.width, 640);
    EXPECT_EQ(p.Count(kSolid, 0, kStreetRow, 640, kStreetRow + 1), 640) << "a gap lets the hero fall for ever";
    EXPECT_EQ(p.Count(kSolid, 0, 0, 640, kStreetRow - 30), 0) << "solid higher than a jump clears";
    EXPECT_EQ(p.Count(kSolid, 0, 370, 640, 480), 0);
    EXPECT_EQ(p.Count(kHero), 0) << "the thugs would see the hero in the scenery";
    EXPECT_EQ(p.Count(kThug), 0) << "a punch would hit the scenery";
    EXPECT_EQ(p.Count(kKey), 0);
    // HUD strip and message bar stay dark enough for white text.
    EXPECT_LT(Brightness(p, 0, 0, 480, 36), 40.0);
    EXPECT_LT(Brightness(p, 0, 370, 640, 480), 45.0);
  }
}

TEST(PaletteRules, PicturesAroundTheLevelAndTheFacesCarryNoMarkerColours) {
  std::vector<std::string> names = FullScreenPictures();
  names.push_back("face0.BMP");
  names.push_back("face1.BMP");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const Picture p = LoadPicture(name);
    EXPECT_EQ(p.Count(kSolid), 0);
    EXPECT_EQ(p.Count(kHero), 0);
    EXPECT_EQ(p.Count(kThug), 0);
    EXPECT_EQ(p.Count(kKey), 0);
  }
  // Faces are drawn with colour key 0: a black pixel would be a hole in the portrait.
  for (const char* face : {"face0.BMP", "face1.BMP"}) EXPECT_EQ(LoadPicture(face).Count(0, 1, 1, 101, 101), 0) << face;
}

TEST(PaletteRules, HeroFramesCarryTheHeroColourWhereThugsLookAndNothingOfTheScenery) {
  for (int a = 0; a < 13; ++a) {
    const Picture strip = LoadPicture(HeroStrips()[size_t(a)]);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE("hero frame " + std::to_string(4 * a + k));
      const Picture cell = Cell(strip, k);
      // On the body only (not the sleeves), so a thug does not swing from further away than a
      // fist reaches; still enough for its box to find him.
      EXPECT_GT(cell.Count(kHero, 0, 25, 72, 74), 25);
      EXPECT_GE(ColumnSpan(cell, kHero, 25, 74), 5);
      EXPECT_LE(ColumnSpan(cell, kHero, 25, 74), 36);
      EXPECT_EQ(cell.Count(kThug), 0);
      EXPECT_EQ(cell.Count(kSolid), 0);
      EXPECT_GT(cell.Count(kKey), 72 * 74 / 2) << "mostly transparent";
      // The border of every cell is transparent, so nothing is cut off.
      EXPECT_EQ(cell.Count(kKey, 0, 0, 1, 74) + cell.Count(kKey, 71, 0, 72, 74), 148);
    }
  }
}

TEST(PaletteRules, ThugFramesCarryTheThugColourWhereFistsLook) {
  for (int b = 0; b < 6; ++b) {
    const Picture strip = LoadPicture(ThugStrips()[size_t(b)]);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE("thug frame " + std::to_string(4 * b + k));
      const Picture cell = Cell(strip, k);
      EXPECT_GT(cell.Count(kThug, 0, 25, 72, 63), 40);
      EXPECT_GE(ColumnSpan(cell, kThug, 25, 63), 10) << "a fist must meet the shirt wherever it overlaps";
      EXPECT_EQ(cell.Count(kHero), 0);
      EXPECT_EQ(cell.Count(kSolid), 0);
      // Thugs never fall: their feet rest on the row above the street at y 240.
      EXPECT_EQ(cell.Count(kKey, 0, 69, 72, 74), 72 * 5);
      EXPECT_LT(cell.Count(kKey, 0, 66, 72, 69), 72 * 3);
    }
  }
}

TEST(PaletteRules, AttackFramesReachOutOnTheContactFrames) {
  auto hero = [](int frame) { return Cell(LoadPicture(HeroStrips()[size_t(frame / 4)]), frame % 4); };
  auto thug = [](int frame) { return Cell(LoadPicture(ThugStrips()[size_t(frame / 4)]), frame % 4); };
  // Arms and legs between rows 25 and 62, the rows the fist boxes scan.
  const int guard_right = Extent(hero(36), 25, 63).second, guard_left = Extent(hero(40), 25, 63).first;
  EXPECT_GE(Extent(hero(37), 25, 63).second, 58);  // punch right: fist out
  EXPECT_GT(Extent(hero(37), 25, 63).second, guard_right + 10);
  EXPECT_LE(Extent(hero(41), 25, 63).first, 13);  // punch left
  EXPECT_LT(Extent(hero(41), 25, 63).first, guard_left - 10);
  EXPECT_GE(Extent(hero(45), 25, 63).second, 60);  // flying kick right
  EXPECT_LE(Extent(hero(49), 25, 63).first, 11);
  EXPECT_GT(Extent(thug(10), 25, 63).second, Extent(thug(8), 25, 63).second + 8);  // the blow lands
  EXPECT_LT(Extent(thug(14), 25, 63).first, Extent(thug(12), 25, 63).first - 8);
  // Standing and walking poses stay inside the body: they do not look like attacks.
  for (int f : {0, 1, 2, 3, 4, 5, 6, 7}) EXPECT_LT(Extent(hero(f), 25, 63).second, 58) << f;
}

TEST(PaletteRules, LeftFacingFramesMirrorTheRightFacingOnes) {
  const int pairs[][2] = {{0, 4}, {1, 3}, {5, 7}, {6, 8}, {9, 10}, {11, 12}};
  for (auto& pr : pairs) {
    const Picture right = LoadPicture(HeroStrips()[size_t(pr[0])]), left = LoadPicture(HeroStrips()[size_t(pr[1])]);
    for (int k = 0; k < 4; ++k) {
      const Picture r = Cell(right, k), l = Cell(left, k);
      int mismatches = 0;
      for (int y = 0; y < 74; ++y)
        for (int x = 0; x < 72; ++x) mismatches += r.At(x, y) != l.At(71 - x, y);
      EXPECT_EQ(mismatches, 0) << "hero animations " << pr[0] << "/" << pr[1] << " frame " << k;
    }
  }
}

}  // namespace
