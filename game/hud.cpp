#include "game/hud.h"

#include "display/display.h"
#include "game/game_text.h"
#include "game/key_labels.h"
#include "game/world.h"
#include "sprites/sprite.h"

namespace {

constexpr int kBarLeft = 64;
constexpr int kBarScale = 4;

const char* const kThugCries[] = {"Ugh!", "Ow!", "NOOO!", "Argh!", "Barf!"};
const char* const kHeroCries[] = {"Hah!", "Take that!", "Hahaa!"};

template <int N>
const char* Cry(const char* const (&cries)[N], int knockout) {
  const int n = knockout < 1 ? 0 : (knockout - 1) % N;
  return cries[n];
}

void DrawFace(Sprite& face, int x, int y) {
  SetSpritePosition(&face, x, y);
  DrawSprite(&face, back_surface);
}

}  // namespace

const char* ThugCry(int knockout) { return Cry(kThugCries, knockout); }
const char* HeroCry(int knockout) { return Cry(kHeroCries, knockout); }

void DrawHealthBar() {
  if (Health > 0) FillRectangle(kBarLeft, 4, kBarLeft + kBarScale * Health, 12, COLOR_HEALTH, back_surface);
}

void DrawRageAndLabels() {
  if (Rage > 0) FillRectangle(kBarLeft, 24, kBarLeft + kBarScale * Rage, 32, COLOR_RAGE, back_surface);
  DrawGameText("HEALTH", 2, 2);
  DrawGameText("RAGE", 2, 22);
}

void DrawMessageBar() {
  switch (MessageMode) {
    case 1:
      DrawGameText(MovementControlText().c_str(), 130, 370);
      DrawGameText(JumpControlText().c_str(), 130, 390);
      DrawGameText(PunchControlText().c_str(), 130, 410);
      DrawGameText(SpecialControlText().c_str(), 130, 430);
      DrawFace(HeroFace, 10, 370);
      break;
    case 2:
      DrawGameText("There you are!", 420, 370);
      DrawFace(ThugFace, 530, 370);
      break;
    case 3:
      DrawGameText(ThugCry(Knockouts), 460, 370);
      DrawFace(ThugFace, 530, 370);
      DrawGameText(HeroCry(Knockouts), 130, 370);
      DrawFace(HeroFace, 10, 370);
      break;
    default: break;
  }
}
