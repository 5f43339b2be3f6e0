#include "tools/assetgen/faces.h"

#include <cmath>

#include "tools/assetgen/figure.h"

namespace assetgen {
namespace {

using namespace pal;

struct FaceLook {
  Ramp backdrop;
  Shade skin, clothes;
  bool hero;
};

IndexedImage Mask() { return IndexedImage(kFaceSize, kFaceSize, 0); }

void Portrait(IndexedImage& f, const FaceLook& look) {
  f.ShadeRect(0, 0, kFaceSize, kFaceSize, look.backdrop,
              [](int x, int y) { return 0.15 + 0.5 * (1.0 - std::hypot(x - 50, y - 40) / 80.0); });
  const uint8_t ink = kInk[0];
  // Shoulders and collar.
  IndexedImage body = Mask();
  body.FillPolygon({{4, 100}, {14, 80}, {36, 72}, {64, 72}, {86, 80}, {96, 100}}, 1);
  PaintMask(f, body, look.clothes, ink);
  if (look.hero) {
    IndexedImage shirt = Mask();
    shirt.FillPolygon({{38, 74}, {62, 74}, {50, 100}}, 1);
    PaintMask(f, shirt, Shade{kShirt[2], kShirt[2], kShirt[0]}, ink);
    IndexedImage lapel = Mask();
    lapel.FillPolygon({{30, 72}, {40, 72}, {48, 96}, {36, 88}}, 1);
    lapel.FillPolygon({{70, 72}, {60, 72}, {52, 96}, {64, 88}}, 1);
    PaintMask(f, lapel, Shade{kJacket[1], kJacket[0], kJacket[2]}, ink);
  } else {
    for (int x : {34, 62}) f.FillRect(x, 72, x + 5, 100, kThugShirt[1]);  // tank top straps
    f.FillPolygon({{40, 86}, {60, 86}, {56, 100}, {44, 100}}, kThugShirt[1]);
    for (int i = 0; i < 7; ++i) f.FillCircle(40 + i * 3.3, 83 + std::sin(i * 0.9) * 1.5, 1.2, kMetal[7]);  // chain
  }
  IndexedImage neck = Mask();
  neck.FillRect(39, 60, 61, 78, 1);
  PaintMask(f, neck, Shade{look.skin.dark, look.skin.main, look.skin.dark}, ink);
  IndexedImage head = Mask();
  head.FillEllipse(50, 44, 21, 25, 1);
  head.FillEllipse(50, 56, 18, look.hero ? 16 : 18, 1);
  head.FillEllipse(28.5, 48, 4, 7, 1);
  head.FillEllipse(71.5, 48, 4, 7, 1);
  PaintMask(f, head, look.skin, ink);
  // Cheek shading on the left, light from the right.
  for (int y = 36; y < 70; ++y)
    for (int x = 30; x < 40; ++x)
      if (head.At(x, y) && head.At(x - 2, y) && ((x + y) & 1)) f.Set(x, y, look.skin.dark);

  // Eyes and brows: both glare straight out of the portrait.
  for (int ex : {41, 59}) {
    f.FillEllipse(ex, 46, 5, 2.8, kShirt[2]);
    f.FillCircle(ex + 0.5, 46, 2.2, look.hero ? kJeans[2] : kThugWear[1]);
    f.Set(ex, 45, ink);
    f.Set(ex + 1, 46, ink);
    f.Set(ex - 1, 45, kWhite);
  }
  for (int side : {-1, 1}) {
    double ox = 50 + side * 9;
    for (int t = 0; t < 3; ++t)
      f.Line(int(ox), 40 + t - (look.hero ? 0 : 1), int(ox + side * 11), 37 + t - (look.hero ? 2 : 4),
             look.hero ? kHair[0] : kInk[1]);
  }
  // Nose and mouth.
  f.Line(51, 47, 53, 57, look.skin.dark);
  f.HLine(47, 53, 58, look.skin.dark);
  if (look.hero) {
    f.HLine(43, 57, 66, kSkin[0]);
    f.HLine(45, 55, 67, kSkin[1]);
    f.Set(57, 65, kSkin[0]);  // half smile
  } else {
    f.FillRect(41, 64, 59, 70, kBlood[0]);
    f.HLine(42, 58, 64, kShirt[1]);  // bared teeth
    for (int x = 44; x < 58; x += 3) f.Set(x, 65, kShirt[1]);
    for (int y = 56; y < 76; ++y)
      for (int x = 32; x < 68; ++x)
        if (head.At(x, y) && (x * 7 + y * 3) % 4 == 0 && f.At(x, y) == look.skin.main) f.Set(x, y, look.skin.dark);
    f.Line(63, 36, 67, 54, kSkin[4]);  // scar
    f.Line(64, 36, 68, 54, kSkin[1]);
  }

  if (look.hero) {
    IndexedImage hair = Mask();
    hair.FillEllipse(50, 26, 24, 13, 1);
    hair.FillEllipse(29, 36, 5, 10, 1);
    hair.FillEllipse(71, 36, 5, 10, 1);
    const double spikes[][3] = {{20, 6, 30}, {32, 0, 40}, {46, -4, 52}, {60, -1, 62}, {74, 4, 68}, {84, 14, 72}};
    for (auto& s : spikes) hair.FillPolygon({{s[2] - 9, 26}, {s[0], s[1]}, {s[2] + 7, 24}}, 1);
    hair.FillPolygon({{36, 28}, {46, 40}, {50, 30}, {58, 38}, {64, 28}}, 1);  // fringe
    PaintMask(f, hair, Shade{kHair[1], kHair[3], kHair[0]}, ink);
  } else {
    IndexedImage cap = Mask();
    cap.FillEllipse(50, 30, 24, 19, 1);
    for (int y = 33; y < kFaceSize; ++y)
      for (int x = 0; x < kFaceSize; ++x) cap.Set(x, y, 0);
    cap.FillRect(26, 28, 75, 36, 1);
    PaintMask(f, cap, Shade{kThugWear[0], kThugWear[2], kThugWear[0]}, ink);
    f.HLine(27, 73, 29, kThugWear[3]);
    for (int x = 30; x < 72; x += 4) f.VLine(x, 12, 27, kThugWear[1]);  // knit ribs
  }
  // Frame.
  for (int i = 0; i < 2; ++i) {
    f.HLine(i, kFaceSize - 1 - i, i, kHudFrame[1 - i]);
    f.HLine(i, kFaceSize - 1 - i, kFaceSize - 1 - i, kHudFrame[0]);
    f.VLine(i, i, kFaceSize - 1 - i, kHudFrame[1 - i]);
    f.VLine(kFaceSize - 1 - i, i, kFaceSize - 1 - i, kHudFrame[0]);
  }
}

IndexedImage Framed(const IndexedImage& face) {
  IndexedImage pic(104, 102, kHudFrame[0]);
  pic.Blit(face, 1, 1);
  return pic;
}

}  // namespace

IndexedImage HeroFacePicture() {
  IndexedImage f(kFaceSize, kFaceSize, kInk[1]);
  Portrait(f, FaceLook{kNight, Shade{kSkin[3], kSkin[4], kSkin[1]}, Shade{kJacket[1], kJacket[0], kJacket[2]}, true});
  return Framed(f);
}

IndexedImage ThugFacePicture() {
  IndexedImage f(kFaceSize, kFaceSize, kInk[1]);
  Portrait(f, FaceLook{kBlood, Shade{kSkin[2], kSkin[3], kSkin[0]}, Shade{kThugShirt[1], kThugShirt[2], kThugShirt[0]},
                       false});
  return Framed(f);
}

}  // namespace assetgen
