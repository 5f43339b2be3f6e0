#include "tools/assetgen/story_screens.h"

#include <cmath>

#include "tools/assetgen/figure.h"
#include "tools/assetgen/level_layout.h"
#include "tools/assetgen/pixel_font.h"
#include "tools/assetgen/scenery.h"

namespace assetgen {
namespace {

using namespace pal;
constexpr int W = kScreenWidth, H = kScreenHeight;

uint8_t SafeColour(uint8_t c) {
  if (c == kHero) return kJacket[1];
  if (c == kThug) return kThugShirt[1];
  if (c == kSolid) return kConcrete[5];
  return c;
}

// Draws a sprite frame enlarged; `silhouette` >= 0 paints every pixel that one colour.
void BigSprite(IndexedImage& dst, const IndexedImage& frame, int x, int y, int scale, int silhouette = -1) {
  for (int fy = 0; fy < frame.height(); ++fy)
    for (int fx = 0; fx < frame.width(); ++fx) {
      uint8_t c = frame.At(fx, fy);
      if (c == kTransparent) continue;
      uint8_t out = silhouette >= 0 ? uint8_t(silhouette) : SafeColour(c);
      dst.FillRect(x + fx * scale, y + fy * scale, x + (fx + 1) * scale, y + (fy + 1) * scale, out);
    }
}

// Darkens a band so the page text drawn over it reads clearly.
void TextBand(IndexedImage& img, int top, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < W; ++x) {
      bool edge = y < top + 4 || y >= bottom - 4;
      if (edge && ((x + y) & 1)) continue;
      img.Set(x, y, IndexedImage::Dither(x, y, 0.25, kInk[0], kInk[2]));
    }
}

void Rain(IndexedImage& img, Rng& rng, int count, int bottom) {
  for (int i = 0; i < count; ++i) {
    int x = rng.Range(0, W), y = rng.Range(0, bottom);
    int len = rng.Range(5, 11);
    for (int j = 0; j < len; ++j) img.Set(x - j / 3, y + j, kSky[12]);
  }
}

void Lightning(IndexedImage& img, Rng& rng, int x, int y, int bottom) {
  Glow(img, x, y + 40, 140, 90, kSky, 2.5);
  while (y < bottom) {
    int nx = x + rng.Range(-14, 14), ny = y + rng.Range(10, 22);
    img.Line(x, y, nx, ny, kPale[1]);
    img.Line(x + 1, y, nx + 1, ny, kPale[0]);
    if (rng.Chance(0.25)) img.Line(nx, ny, nx + rng.Range(-30, 30), ny + rng.Range(10, 30), kPale[0]);
    x = nx, y = ny;
  }
}

void CitySkyline(IndexedImage& img, Rng& rng, int base) {
  DrawSkyline(img, base, 60, 200, kFar, 3, rng, 0.12);
  DrawSkyline(img, base, 30, 120, kFar, 1, rng, 0.2);
}

}  // namespace

IndexedImage TitlePicture(const std::vector<IndexedImage>& hero, const std::vector<IndexedImage>& thugs) {
  IndexedImage img(W, H, kBlack);
  Rng rng(7);
  DrawSky(img, 360, 0.9, rng, 90);
  DrawMoon(img, 500, 250, 54);
  Lightning(img, rng, 120, 0, 200);
  CitySkyline(img, rng, 400);
  img.ShadeRect(0, 400, W, H, kNight, [](int, int y) { return 0.5 - 0.5 * (y - 400) / 80.0; });
  BigSprite(img, thugs.at(20), 6, 250, 3, kInk[2]);  // thugs lurking in the dark
  BigSprite(img, thugs.at(21), 430, 250, 3, kInk[2]);
  BigSprite(img, hero.at(36), 200, 248, 3);  // Jed in his guard
  Rain(img, rng, 500, 470);
  DrawTitleText(img, (W - TextWidth("JED", 8)) / 2, 28, "JED", 8, kPale, kInk[0], kSky[2]);
  DrawTitleText(img, (W - TextWidth("GRIMSTORM", 10)) / 2, 110, "GRIMSTORM", 10, kFire, kInk[0], kBlood[0]);
  const char* prompt = "PRESS ENTER";
  img.FillRect((W - TextWidth(prompt, 2)) / 2 - 8, 446, (W + TextWidth(prompt, 2)) / 2 + 8, 470, kInk[0]);
  DrawText(img, (W - TextWidth(prompt, 2)) / 2, 451, prompt, 2, kGold[3]);
  return img;
}

IndexedImage StoryPicture(int page, const std::vector<IndexedImage>& hero, const std::vector<IndexedImage>& thugs) {
  IndexedImage img(W, H, kBlack);
  Rng rng(20 + uint64_t(page));
  switch (page) {
    case 0: {  // night falls on the city
      DrawSky(img, 320, 1.0, rng, 140);
      Glow(img, 320, 320, 360, 90, kSky, 3.0);
      DrawMoon(img, 140, 90, 24);
      CitySkyline(img, rng, 320);
      DrawBuilding(img, 420, 560, 150, 320, Facade::kBrick, rng, 0.5);
      TextBand(img, 322, 356);
      img.ShadeRect(0, 356, W, H, kWater,
                    [](int x, int y) { return 0.3 - 0.25 * (y - 356) / 124.0 + 0.08 * std::sin(x * 0.1 + y); });
      for (int i = 0; i < 80; ++i)
        img.Set(rng.Range(0, W), rng.Range(360, 470), kWindow[rng.Range(3, 8)]);  // reflections
      break;
    }
    case 1: {  // home: the door is open and the flat is dark
      // Striped wallpaper in a dim hallway, lit by one ceiling lamp.
      img.ShadeRect(0, 0, W, 440, kPurple, [](int x, int y) {
        double v = 0.16 + ((x / 12) % 2 ? 0.05 : 0.0) - 0.06 * std::abs(y - 200) / 240.0;
        return v;
      });
      img.FillRect(0, 420, W, 440, kWood[3]);  // skirting board
      img.HLine(0, W - 1, 420, kWood[6]);
      img.ShadeRect(0, 440, W, H, kWood,
                    [](int x, int y) { return 0.3 + ((x + (y - 440) * (x - 320) / 60) % 48 < 2 ? -0.15 : 0.0); });
      img.FillRect(300, 0, 340, 10, kMetal[2]);  // ceiling lamp
      img.FillEllipse(320, 14, 18, 6, kWindow[10]);
      Glow(img, 320, 60, 260, 200, kPurple, 3.0);
      img.FillRect(210, 50, 430, 420, kWood[1]);  // door frame, open on darkness
      img.FillRect(222, 62, 418, 420, kInk[0]);
      img.FillPolygon({{222, 62}, {296, 84}, {296, 420}, {222, 420}}, kWood[5]);  // door swung in
      img.FillPolygon({{232, 100}, {286, 114}, {286, 200}, {232, 190}}, kWood[4]);
      img.FillPolygon({{232, 240}, {286, 250}, {286, 380}, {232, 380}}, kWood[4]);
      img.FillCircle(286, 250, 4, kGold[3]);
      // An overturned chair and a broken vase inside.
      img.FillRect(330, 380, 400, 388, kWood[2]);
      img.Line(340, 388, 320, 418, kWood[2]);
      img.Line(392, 388, 410, 418, kWood[2]);
      img.FillRect(392, 330, 400, 382, kWood[2]);
      for (int i = 0; i < 7; ++i)
        img.FillPolygon({{360.0 + i * 7, 418}, {364.0 + i * 7, 408 - (i % 3) * 4.0}, {368.0 + i * 7, 418}}, kCyan[3]);
      // Norah's portrait in a gold frame, hanging crooked.
      img.FillPolygon({{508, 90}, {598, 98}, {592, 214}, {502, 206}}, kGold[2]);
      img.FillPolygon({{516, 100}, {590, 106}, {585, 204}, {510, 198}}, kSky[8]);
      img.FillEllipse(550, 186, 26, 22, kPurple[6]);
      img.FillEllipse(550, 138, 20, 24, kHair[3]);
      img.FillCircle(550, 144, 14, kSkin[4]);
      img.Set(545, 142, kInk[0]);
      img.Set(555, 142, kInk[0]);
      img.HLine(546, 554, 150, kBlood[5]);
      img.Line(520, 120, 580, 190, kPale[1]);  // cracked glass
      img.Line(580, 120, 530, 196, kPale[0]);
      TextBand(img, 242, 310);
      BigSprite(img, hero.at(12), 20, 306, 2);  // Jed stops in the doorway, facing left
      break;
    }
    case 2: {  // the phone rings; a stranger laughs
      img.ShadeRect(0, 0, W, 200, kBlood,
                    [](int x, int y) { return 0.35 * (1.0 - y / 200.0) + 0.1 * std::sin(x * 0.02); });
      IndexedImage villain(W, 200, 0);
      villain.FillEllipse(320, 70, 42, 50, 1);
      villain.FillPolygon({{170, 200}, {230, 120}, {410, 120}, {470, 200}}, 1);
      villain.FillPolygon({{270, 40}, {320, 0}, {370, 40}}, 1);  // hood
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < W; ++x)
          if (villain.At(x, y)) img.Set(x, y, kInk[0]);
      for (int ex : {300, 340}) {
        img.FillEllipse(ex, 72, 9, 4, kFire[10]);
        img.FillEllipse(ex, 72, 4, 2, kFire[13]);
        Glow(img, ex, 72, 26, 14, kBlood, 2.0);
      }
      img.Line(294, 98, 346, 98, kBlood[4]);  // grin
      for (int x = 298; x < 344; x += 6) img.Line(x, 98, x + 3, 104, kBlood[4]);
      TextBand(img, 192, 284);
      img.ShadeRect(0, 284, W, H, kNight, [](int, int y) { return 0.4 - 0.3 * (y - 284) / 196.0; });
      // The phone in Jed's hand.
      img.FillEllipse(330, 470, 90, 70, kSkin[2]);
      img.FillRect(280, 300, 380, 460, kInk[1]);
      img.FillRect(288, 312, 372, 440, kCyan[3]);
      img.ShadeRect(290, 314, 370, 438, kCyan, [](int, int y) { return 0.3 + 0.4 * (y - 314) / 124.0; });
      DrawText(img, 300, 330, "UNKNOWN", 1, kPale[1]);
      DrawText(img, 306, 350, "CALLER", 1, kPale[1]);
      img.FillCircle(330, 400, 14, kBlood[5]);
      for (int r : {40, 54, 68}) {  // ring waves
        for (int a = -40; a <= 40; a += 2) {
          double t = a * 3.14159 / 180;
          img.Set(int(330 + std::cos(t) * r + 60), int(360 + std::sin(t) * r), kCyan[8]);
          img.Set(int(330 - std::cos(t) * r - 60), int(360 + std::sin(t) * r), kCyan[8]);
        }
      }
      img.FillEllipse(250, 420, 20, 40, kSkin[3]);  // thumb
      break;
    }
    default: {  // Jed on the rooftop, the city below
      DrawSky(img, 300, 0.8, rng, 160);
      DrawMoon(img, 470, 130, 70);
      CitySkyline(img, rng, 380);
      TextBand(img, 244, 332);
      img.FillRect(0, 380, W, H, kConcrete[1]);
      img.HLine(0, W - 1, 380, kConcrete[4]);
      img.ShadeRect(0, 384, W, H, kBrick, [](int, int y) { return 0.3 - 0.25 * (y - 384) / 96.0; });
      BigSprite(img, hero.at(4), 430, 158, 3);  // standing watch, facing right
      BigSprite(img, thugs.at(4), 40, 330, 1, kInk[0]);
      break;
    }
  }
  return img;
}

IndexedImage GameOverPicture(const std::vector<IndexedImage>& hero) {
  IndexedImage img(W, H, kBlack);
  Rng rng(40);
  img.ShadeRect(0, 0, W, H, kBlood, [](int x, int y) { return 0.45 * (1.0 - std::hypot(x - 320, y - 200) / 420.0); });
  CitySkyline(img, rng, 360);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (img.At(x, y) >= kFar.first && img.At(x, y) < kFar.first + kFar.count) img.Set(x, y, kBlood[0]);
  img.FillRect(0, 360, W, H, kInk[0]);
  // Jed down on the street.
  IndexedImage fallen(74, 72, kTransparent);
  const IndexedImage& f = hero.at(24);
  for (int y = 0; y < f.height(); ++y)
    for (int x = 0; x < f.width(); ++x) fallen.Set(y, 71 - x, f.At(x, y));
  BigSprite(img, fallen, 200, 300, 3);
  DrawTitleText(img, (W - TextWidth("GAME OVER", 9)) / 2, 90, "GAME OVER", 9, kBlood, kInk[0], kInk[1]);
  DrawText(img, (W - TextWidth("MUAHAHAHA!", 3)) / 2, 200, "MUAHAHAHA!", 3, kFire[9]);
  return img;
}

IndexedImage VictoryPicture(const std::vector<IndexedImage>& hero) {
  IndexedImage img(W, H, kBlack);
  Rng rng(50);
  // Dawn breaks over the city.
  img.ShadeRect(0, 0, W, 300, kFire, [](int, int y) { return 0.05 + 0.55 * std::pow(y / 300.0, 2.0); });
  img.ShadeRect(0, 0, W, 110, kSky, [](int, int y) { return 0.3 + 0.5 * y / 110.0; });
  img.FillCircle(320, 300, 60, kFire[12]);
  img.FillCircle(320, 300, 48, kFire[13]);
  CitySkyline(img, rng, 300);
  img.ShadeRect(0, 300, W, H, kNight, [](int, int y) { return 0.35 - 0.35 * (y - 300) / 180.0; });
  BigSprite(img, hero.at(8), 470, 96, 3);  // Jed raises his fist
  DrawTitleText(img, 40, 40, "VICTORY!", 8, kGold, kInk[0], kBlood[1]);
  return img;
}

}  // namespace assetgen
