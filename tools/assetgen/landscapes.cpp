#include "tools/assetgen/landscapes.h"

#include <cmath>

#include "tools/assetgen/pixel_font.h"
#include "tools/assetgen/scenery.h"

namespace assetgen {
namespace {

using namespace pal;
constexpr int W = kScreenWidth, H = kScreenHeight, S = kStreetRow;

void Brownstone(IndexedImage& img, int x0, int x1, int top, Rng& rng) {
  DrawBuilding(img, x0, x1, top, S, Facade::kBrick, rng, 0.45);
  int door = (x0 + x1) / 2 - 9;
  img.FillRect(door - 3, S - 44, door + 21, S, kBrick[1]);
  img.FillRect(door, S - 40, door + 18, S - 8, kInk[2]);
  img.FillRect(door + 2, S - 38, door + 16, S - 26, kWindow[5]);  // transom light
  for (int i = 0; i < 3; ++i)
    img.FillRect(door - 6 - i * 3, S - 8 + i * 3 - 1, door + 24 + i * 3, S - 8 + i * 3 + 2, kConcrete[3 - i / 2]);
}

void Shopfront(IndexedImage& img, int x0, int x1, Rng& rng, bool shutter, Ramp awning) {
  img.FillRect(x0, S - 70, x1, S, kInk[2]);
  if (shutter) {
    for (int y = S - 62; y < S; y += 3) img.HLine(x0 + 4, x1 - 5, y, kMetal[(y / 3) % 2 ? 3 : 2]);
    DrawGraffiti(img, x0 + 8, S - 48, rng.Chance(0.5) ? "ZAP" : "KRU", rng);
  } else {
    img.ShadeRect(x0 + 4, S - 62, x1 - 4, S - 4, kWindow,
                  [&](int, int y) { return 0.35 + 0.4 * (y - (S - 62)) / 58.0; });
    for (int x = x0 + 10; x < x1 - 10; x += 14) img.FillRect(x, S - 30, x + 8, S - 4, kInk[3]);  // shelves
  }
  for (int x = x0 - 4; x < x1 + 4; ++x)
    for (int y = S - 82; y < S - 70; ++y) img.Set(x, y, ((x - x0) / 8) % 2 ? awning[awning.count / 2] : kPale[0]);
}

void Screen0(IndexedImage& img, Rng& rng) {  // Jed's street: brownstones under the moon
  DrawSky(img, 300, 0.6, rng, 120);
  DrawMoon(img, 520, 80, 26);
  DrawSkyline(img, 240, 40, 120, kFar, 2, rng, 0.05);
  Brownstone(img, 10, 180, 130, rng);
  Brownstone(img, 196, 360, 150, rng);
  DrawBuilding(img, 376, 520, 110, S, Facade::kSteel, rng, 0.3);
  DrawFireEscape(img, 400, 460, 150, S - 30);
  DrawGround(img, Ground::kStreet, rng);
  DrawStreetLamp(img, 560, S, 110);
  DrawStreetLamp(img, 190, S, 110);
  // Parked car on the road.
  img.FillRect(360, 334, 470, 356, kContainerBlue[2]);
  img.FillPolygon({{380, 334}, {396, 318}, {440, 318}, {456, 334}}, kContainerBlue[3]);
  img.FillPolygon({{386, 333}, {398, 321}, {418, 321}, {418, 333}}, kSteel[1]);
  img.FillPolygon({{422, 333}, {422, 321}, {438, 321}, {450, 333}}, kSteel[1]);
  img.FillCircle(385, 357, 8, kInk[0]);
  img.FillCircle(445, 357, 8, kInk[0]);
  img.FillCircle(385, 357, 3, kMetal[4]);
  img.FillCircle(445, 357, 3, kMetal[4]);
  img.FillRect(466, 338, 470, 343, kFire[11]);
}

void Screen1(IndexedImage& img, Rng& rng) {  // shops and the diner
  DrawSky(img, 300, 0.7, rng, 80);
  DrawSkyline(img, 230, 60, 150, kFar, 3, rng, 0.08);
  DrawBuilding(img, 0, 220, 120, S, Facade::kBrick, rng, 0.4);
  DrawBuilding(img, 230, 430, 90, S, Facade::kConcrete, rng, 0.3);
  DrawBuilding(img, 440, 640, 140, S, Facade::kBrick, rng, 0.5);
  Shopfront(img, 20, 200, rng, false, kContainerRed);
  Shopfront(img, 250, 410, rng, true, kGreen);
  Shopfront(img, 460, 620, rng, false, kContainerBlue);
  DrawNeonSign(img, 60, 168, "DINER", 3, kPink, true);
  DrawNeonSign(img, 500, 186, "24H", 3, kCyan, true);
  DrawGround(img, Ground::kStreet, rng);
  DrawStreetLamp(img, 440, S, 120);
  img.FillRect(600, S - 14, 610, S, kContainerRed[3]);  // hydrant
  img.FillRect(598, S - 16, 612, S - 13, kContainerRed[2]);
}

void Screen2(IndexedImage& img, Rng& rng) {  // the park edge: trees, fence and a graffiti wall
  DrawSky(img, 300, 0.5, rng, 150);
  DrawMoon(img, 110, 90, 18);
  DrawSkyline(img, 250, 50, 140, kFar, 1, rng, 0.06);
  for (int i = 0; i < 7; ++i) {
    int tx = 20 + i * 92 + rng.Range(-10, 10), ty = 200 + rng.Range(-20, 20);
    img.FillRect(tx - 3, ty, tx + 4, S, kWood[0]);
    for (int j = 0; j < 8; ++j)
      img.FillCircle(tx + rng.Range(-26, 26), ty - rng.Range(0, 40), rng.Range(14, 24), kGreen[rng.Range(0, 2)]);
    for (int j = 0; j < 6; ++j)
      img.FillCircle(tx + rng.Range(-18, 18), ty - rng.Range(10, 44), rng.Range(6, 10), kGreen[3]);
  }
  img.FillRect(300, 220, 640, S, kConcrete[1]);  // handball wall
  for (int y = 220; y < S; y += 12) img.HLine(300, 639, y, kConcrete[0]);
  DrawGraffiti(img, 320, 240, "GRIM", rng);
  DrawGraffiti(img, 470, 254, "CREW 9", rng);
  DrawChainFence(img, 0, 300, 240, S);
  DrawGround(img, Ground::kStreet, rng);
  DrawStreetLamp(img, 270, S, 116);
  // Bench and bus stop sign.
  img.FillRect(560, S - 16, 620, S - 13, kWood[5]);
  img.FillRect(564, S - 13, 567, S, kMetal[2]);
  img.FillRect(613, S - 13, 616, S, kMetal[2]);
  img.FillRect(150, S - 70, 153, S, kMetal[3]);
  img.FillRect(140, S - 86, 164, S - 70, kContainerBlue[3]);
  DrawText(img, 143, S - 83, "BUS", 1, kPale[1]);
}

void Screen3(IndexedImage& img, Rng& rng) {  // downtown avenue: towers and neon
  DrawSky(img, 300, 0.9, rng, 40);
  DrawSkyline(img, 220, 90, 190, kFar, 3, rng, 0.18);
  DrawBuilding(img, 0, 150, 60, S, Facade::kSteel, rng, 0.55, false);
  DrawBuilding(img, 160, 330, 100, S, Facade::kSteel, rng, 0.5);
  DrawBuilding(img, 340, 470, 50, S, Facade::kConcrete, rng, 0.4, false);
  DrawBuilding(img, 480, 640, 120, S, Facade::kBrick, rng, 0.5);
  DrawNeonSign(img, 30, 120, "HOTEL", 2, kCyan, true);
  DrawNeonSign(img, 370, 90, "BAR", 3, kPink, true);
  DrawNeonSign(img, 505, 160, "PAWN", 2, kGold, true);
  DrawBillboard(img, 175, 150, 140, 62, rng, 0);
  DrawGround(img, Ground::kStreet, rng);
  DrawStreetLamp(img, 120, S, 120);
  DrawStreetLamp(img, 560, S, 120);
  // Traffic light.
  img.FillRect(340, S - 110, 343, S, kMetal[2]);
  img.FillRect(333, S - 136, 350, S - 108, kInk[1]);
  img.FillCircle(341.5, S - 130, 4, kBlood[5]);
  img.FillCircle(341.5, S - 121, 4, kInk[3]);
  img.FillCircle(341.5, S - 112, 4, kInk[3]);
}

void AlleyWalls(IndexedImage& img, Rng& rng) {
  DrawSky(img, 200, 0.4, rng, 30);
  DrawBuilding(img, 0, 640, 150, S, Facade::kBrick, rng, 0.15, false);
  // Darker toward the far end of the alley, with a narrow gap of sky.
  Glow(img, 320, 240, 400, 170, kBrick, -1.5);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < W; ++x)
      if (x < 120 + y / 3 || x > 520 - y / 3) img.Set(x, y, kBrick[((x + y / 4 * 4) % 8 == 0 || y % 4 == 0) ? 0 : 1]);
}

void Screen4(IndexedImage& img, Rng& rng) {  // alley: fire escapes and steam
  AlleyWalls(img, rng);
  DrawFireEscape(img, 40, 150, 60, S - 40);
  DrawFireEscape(img, 470, 600, 80, S - 40);
  for (int y = 40; y < 300; y += 60) {  // hanging wires and laundry
    img.Line(120, y, 520, y + 12, kInk[0]);
  }
  for (int i = 0; i < 6; ++i) img.FillRect(170 + i * 50, 107 + i, 186 + i * 50, 126 + i, i % 2 ? kPale[0] : kPurple[4]);
  img.FillRect(300, 180, 340, S, kInk[1]);  // back door
  img.FillRect(304, 184, 336, S, kSteel[1]);
  img.FillRect(310, 164, 334, 176, kWindow[9]);
  Glow(img, 322, 176, 60, 40, kBrick, 2.0);
  DrawSteam(img, 230, S, rng);
  DrawGround(img, Ground::kStreet, rng);
  DrawGraffiti(img, 380, 230, "NO WAY", rng);
}

void Screen5(IndexedImage& img, Rng& rng) {  // back lot: fence, burning barrel
  DrawSky(img, 300, 0.5, rng, 90);
  DrawSkyline(img, 230, 80, 170, kFar, 2, rng, 0.1);
  DrawBuilding(img, 0, 200, 110, S, Facade::kDark, rng, 0.25);
  DrawBuilding(img, 460, 640, 130, S, Facade::kBrick, rng, 0.2);
  DrawChainFence(img, 190, 470, 200, S);
  DrawFireBarrel(img, 300, S);
  DrawGraffiti(img, 480, 240, "KRU", rng);
  DrawGround(img, Ground::kStreet, rng);
  // Wrecked car in the lot behind the fence.
  img.FillRect(340, 280, 440, S - 8, kContainerRed[0]);
  img.FillPolygon({{356, 280}, {372, 264}, {414, 264}, {428, 280}}, kContainerRed[1]);
  img.FillCircle(358, S - 8, 7, kInk[0]);
  img.FillCircle(424, S - 8, 7, kInk[0]);
}

void Screen6(IndexedImage& img, Rng& rng) {  // subway entrance under the elevated line
  DrawSky(img, 300, 0.7, rng, 60);
  DrawSkyline(img, 220, 70, 160, kFar, 2, rng, 0.12);
  DrawBuilding(img, 0, 260, 100, S, Facade::kConcrete, rng, 0.4);
  DrawBuilding(img, 420, 640, 90, S, Facade::kBrick, rng, 0.45);
  // Elevated track with a passing train.
  img.FillRect(0, 150, W, 168, kMetal[1]);
  for (int x = 0; x < W; x += 20) img.Line(x, 168, x + 10, 150, kMetal[2]);
  for (int x = 60; x < W; x += 200) img.FillRect(x, 168, x + 10, S, kMetal[1]);
  img.FillRect(120, 112, 520, 148, kMetal[4]);
  for (int x = 130; x < 510; x += 24) img.FillRect(x, 120, x + 16, 134, kWindow[9]);
  img.HLine(120, 519, 140, kContainerRed[3]);
  // Station entrance.
  img.FillRect(270, 230, 410, S, kInk[2]);
  img.FillRect(280, 250, 400, S, kInk[0]);
  for (int i = 0; i < 8; ++i) img.HLine(286 + i * 2, 394 - i * 2, 260 + i * 6, kConcrete[2]);
  img.FillRect(270, 214, 410, 232, kGreen[2]);
  DrawText(img, 296, 217, "SUBWAY", 2, kPale[1]);
  for (int gx : {262, 418}) {
    img.FillRect(gx - 1, 236, gx + 2, S, kMetal[3]);
    img.FillCircle(gx + 0.5, 232, 7, kGreen[5]);
    Glow(img, gx, 232, 24, 24, kGreen, 1.5);
  }
  DrawGround(img, Ground::kStreet, rng);
  DrawStreetLamp(img, 560, S, 120);
}

void RooftopSkyline(IndexedImage& img, Rng& rng, int moon_x) {
  DrawSky(img, 300, 0.8, rng, 140);
  DrawMoon(img, moon_x, 96, 30);
  DrawSkyline(img, 300, 40, 160, kFar, 3, rng, 0.15);
  DrawSkyline(img, S, 20, 90, kFar, 1, rng, 0.22);
}

void Screen7(IndexedImage& img, Rng& rng) {  // rooftops: water tower, antenna
  RooftopSkyline(img, rng, 440);
  DrawWaterTower(img, 240, S);
  img.VLine(560, 150, S - 1, kMetal[3]);
  img.Line(560, 160, 540, 190, kMetal[2]);
  img.Line(560, 160, 580, 190, kMetal[2]);
  img.Set(560, 149, kBlood[5]);
  Glow(img, 560, 149, 8, 8, kSky, 2.0);
  img.FillRect(20, 250, 80, S, kBrick[2]);  // stair hut
  img.FillRect(36, 268, 60, S, kInk[2]);
  img.FillRect(40, 272, 56, 286, kWindow[8]);
  DrawGround(img, Ground::kRooftop, rng);
}

void Screen8(IndexedImage& img, Rng& rng) {  // rooftops: billboard and skylights
  RooftopSkyline(img, rng, 120);
  DrawBillboard(img, 220, 160, 190, 72, rng, 1);
  for (int x = 480; x < 620; x += 46) {
    img.FillPolygon({{double(x), double(S)}, {x + 6.0, S - 14.0}, {x + 34.0, S - 14.0}, {x + 40.0, double(S)}},
                    kSteel[3]);
    img.FillRect(x + 8, S - 12, x + 32, S, kWindow[6]);
  }
  img.Line(0, 200, 220, 240, kInk[0]);  // power line
  img.Line(410, 236, 640, 210, kInk[0]);
  DrawGround(img, Ground::kRooftop, rng);
}

void Screen9(IndexedImage& img, Rng& rng) {  // the docks: cranes, a ship, moonlit water
  DrawSky(img, 280, 0.6, rng, 160);
  DrawMoon(img, 330, 70, 22);
  DrawSkyline(img, 250, 20, 60, kFar, 1, rng, 0.08);
  // Harbour water behind the pier.
  img.ShadeRect(0, 250, W, S, kWater, [&](int x, int y) { return 0.3 + 0.15 * std::sin(x * 0.05 + y * 1.3); });
  for (int y = 252; y < S; y += 3)
    for (int x = 300 + (y * 7) % 11; x < 360; x += 7) img.Set(x, y, kMoon[0]);  // moon path
  // Ship silhouette.
  img.FillPolygon({{40, 250}, {60, 276}, {250, 276}, {270, 250}}, kInk[1]);
  img.FillRect(150, 220, 220, 250, kInk[1]);
  img.FillRect(170, 200, 184, 220, kInk[1]);
  for (int x = 156; x < 214; x += 12) img.Set(x, 232, kWindow[8]);
  // Gantry crane.
  img.FillRect(440, 80, 448, S, kContainerRed[1]);
  img.FillRect(560, 80, 568, S, kContainerRed[1]);
  img.FillRect(400, 72, 620, 84, kContainerRed[2]);
  for (int x = 402; x < 618; x += 12) img.Line(x, 84, x + 6, 72, kContainerRed[0]);
  img.VLine(500, 84, 200, kInk[0]);
  img.FillRect(488, 200, 514, 214, kContainerBlue[2]);
  img.Set(620, 71, kBlood[5]);
  for (int b : {40, 300, 590}) {  // bollards
    img.FillRect(b, S - 12, b + 10, S, kInk[2]);
    img.FillRect(b - 2, S - 14, b + 12, S - 11, kInk[3]);
  }
  DrawGround(img, Ground::kPier, rng);
}

void Container(IndexedImage& img, int x, int y, int w, int h, Ramp ramp, std::string_view label) {
  img.ShadeRect(x, y, x + w, y + h, ramp, [&](int xx, int) { return ((xx - x) % 8 < 2) ? 0.2 : 0.55; });
  img.HLine(x, x + w - 1, y, ramp[4]);
  img.HLine(x, x + w - 1, y + h - 1, ramp[0]);
  if (!label.empty()) DrawText(img, x + 10, y + 10, label, 2, kPale[0]);
}

void Screen10(IndexedImage& img, Rng& rng) {  // container yard under floodlights
  DrawSky(img, 300, 0.5, rng, 100);
  DrawSkyline(img, 200, 20, 70, kFar, 1, rng, 0.05);
  Container(img, 0, 170, 180, 70, kContainerBlue, "GRIM LINE");
  Container(img, 0, 240, 180, 69, kContainerRed, "");
  Container(img, 190, 200, 160, 109, kContainerRed, "KX 4410");
  Container(img, 360, 130, 170, 70, kContainerBlue, "");
  Container(img, 360, 200, 170, 109, kContainerBlue, "OCEAN");
  Container(img, 540, 220, 120, 89, kContainerRed, "");
  for (int fx : {120, 520}) {
    img.FillRect(fx, 60, fx + 4, S, kMetal[2]);
    img.FillRect(fx - 14, 52, fx + 18, 62, kMetal[3]);
    img.FillRect(fx - 12, 62, fx + 16, 66, kWindow[11]);
    Glow(img, fx + 2, 130, 90, 100, kSky, 1.6);
  }
  DrawGround(img, Ground::kWarehouseFloor, rng);
}

void WarehouseInside(IndexedImage& img, Rng& rng, bool lair) {
  Ramp wall = lair ? kBlood : kSteel;
  img.ShadeRect(0, 0, W, S, wall, [&](int x, int y) {
    double v = lair ? 0.26 - 0.2 * (1.0 - double(y) / S) : 0.25 - 0.15 * (1.0 - double(y) / S);
    if (x % 40 < 2) v -= 0.12;  // wall panels
    return v;
  });
  img.FillRect(0, 0, W, 40, kInk[1]);
  for (int x = 0; x < W; x += 80) {  // roof trusses
    img.Line(x, 40, x + 40, 0, kMetal[1]);
    img.Line(x + 40, 0, x + 80, 40, kMetal[1]);
  }
  img.FillRect(0, 40, W, 46, kMetal[2]);
  for (int lx = 80; lx < W; lx += 160) {  // hanging lamps and their pools of light
    img.VLine(lx, 46, 90, kInk[0]);
    img.FillPolygon({{lx - 12.0, 100.0}, {lx - 4.0, 90.0}, {lx + 4.0, 90.0}, {lx + 12.0, 100.0}}, kMetal[3]);
    img.HLine(lx - 8, lx + 8, 101, lair ? kFire[9] : kWindow[11]);
    Glow(img, lx, 190, 70, 120, wall, lair ? 2.0 : 2.5);
  }
  (void)rng;
}

void Screen11(IndexedImage& img, Rng& rng) {  // warehouse interior: stacked crates, high shelves
  WarehouseInside(img, rng, false);
  for (int x = 10; x < W; x += 150) {
    img.FillRect(x, 140, x + 6, S, kContainerBlue[2]);
    img.FillRect(x + 120, 140, x + 126, S, kContainerBlue[2]);
    for (int sy : {180, 240}) img.FillRect(x, sy, x + 126, sy + 5, kContainerRed[3]);
    for (int bx = x + 10; bx < x + 116; bx += 36) {
      img.ShadeRect(bx, 150, bx + 30, 180, kWood, [&](int, int) { return 0.3; });
      img.ShadeRect(bx, 210, bx + 30, 240, kWood, [&](int, int) { return 0.4; });
    }
  }
  DrawText(img, 460, 110, "BAY 13", 2, kGold[2]);
  DrawGround(img, Ground::kWarehouseFloor, rng);
}

void Screen12(IndexedImage& img, Rng& rng) {  // the villain's hall: red light, chains, the great door
  WarehouseInside(img, rng, true);
  for (int px : {16, 226, 436}) {  // steel columns with rivets
    img.ShadeRect(px, 46, px + 22, S, kMetal,
                  [&](int x, int) { return 0.08 + 0.18 * std::sin((x - px) / 22.0 * 3.14159); });
    for (int y = 60; y < S; y += 24) img.Set(px + 11, y, kMetal[6]);
  }
  for (int bx : {96, 306}) {  // the villain's banners
    img.FillRect(bx, 60, bx + 70, 200, kBlood[2]);
    img.FillPolygon({{double(bx), 200}, {bx + 35.0, 226}, {bx + 70.0, 200}}, kBlood[2]);
    img.FillRect(bx, 60, bx + 70, 64, kGold[2]);
    img.VLine(bx, 60, 200, kGold[1]);
    img.VLine(bx + 69, 60, 200, kGold[1]);
    img.FillCircle(bx + 35, 124, 18, kPale[0]);
    img.FillRect(bx + 26, 134, bx + 45, 146, kPale[0]);
    img.FillCircle(bx + 28, 122, 5, kBlood[0]);
    img.FillCircle(bx + 42, 122, 5, kBlood[0]);
    for (int x = bx + 28; x < bx + 44; x += 4) img.VLine(x, 138, 145, kBlood[0]);
  }
  for (int cx = 60; cx < 420; cx += 70) {  // hanging chains
    for (int y = 46; y < 150 + (cx % 3) * 20; y += 4) img.FillEllipse(cx, y, 1.5, 2.2, kMetal[(y / 4) % 2 ? 3 : 2]);
  }
  // The great door at the far right, half open on a furnace glow.
  img.FillRect(480, 120, 640, S, kInk[0]);
  img.ShadeRect(520, 140, 640, S, kFire,
                [&](int x, int y) { return 0.3 + 0.5 * (1.0 - std::abs(y - 240) / 120.0) * (x - 520) / 120.0; });
  img.FillRect(480, 120, 530, S, kMetal[1]);
  for (int y = 130; y < S; y += 20) img.FillCircle(505, y, 3, kMetal[4]);
  Glow(img, 580, 230, 150, 130, kBlood, 2.5);
  // Skull emblem above the door.
  img.FillCircle(560, 90, 22, kPale[0]);
  img.FillRect(548, 104, 572, 116, kPale[0]);
  img.FillCircle(551, 88, 6, kInk[0]);
  img.FillCircle(569, 88, 6, kInk[0]);
  img.FillPolygon({{560, 96}, {556, 104}, {564, 104}}, kInk[0]);
  for (int x = 551; x < 572; x += 5) img.VLine(x, 106, 115, kInk[0]);
  DrawFireBarrel(img, 150, S);
  DrawFireBarrel(img, 330, S);
  DrawGround(img, Ground::kLair, rng);
}

}  // namespace

IndexedImage DrawLandscape(int screen) {
  IndexedImage img(W, H, kBlack);
  Rng rng(1000 + uint64_t(screen) * 77);
  using Painter = void (*)(IndexedImage&, Rng&);
  static const Painter painters[kScreenCount] = {Screen0, Screen1, Screen2, Screen3,  Screen4,  Screen5, Screen6,
                                                 Screen7, Screen8, Screen9, Screen10, Screen11, Screen12};
  painters[screen](img, rng);
  for (const Obstacle& o : ScreenObstacles(screen)) DrawObstacle(img, o);
  CalmLowerArea(img);
  // The HUD strip stays dark whatever stands behind it.
  for (int y = 0; y < kHudRows; ++y)
    for (int x = 0; x < 480; ++x)
      if (img.At(x, y) != kBlack)
        img.Set(x, y, IndexedImage::Dither(x, y, 0.5, kInk[0], img.At(x, y) < 32 ? img.At(x, y) : kInk[1]));
  (void)H;
  return img;
}

}  // namespace assetgen
