#include "game/thugs.h"

#include <algorithm>

#include "game/color_box.h"
#include "game/crt_random.h"
#include "game/sound_marks.h"
#include "game/world.h"
#include "sprites/sprite.h"

namespace {

constexpr float kPatrolStep = 2.0f;
constexpr float kChaseStep = 3.0f;
constexpr float kBlowPush = 20.0f;
constexpr int kBlowDamage = 2;
constexpr int kBlowRage = 5;
constexpr int kRageMax = 100;
constexpr int kAlertFrames = 30;
constexpr float kSightRange = 200.0f;
constexpr float kCloseRange = 100.0f;
constexpr float kScreenWidth = 640.0f;

int& State(Sprite& thug) { return thug.counters[THUG_STATE]; }

void Select(Sprite& thug, int anim) { SetSpriteAnimation(&thug, anim); }
void SelectUnless(Sprite& thug, int anim) {
  if (thug.current_anim != anim) Select(thug, anim);
}

void UpdatePresence(Sprite& thug) {
  int& state = State(thug);
  if (state != THUG_PATROL && state != THUG_DORMANT) return;
  const float right = thug.x + static_cast<float>(thug.width);
  if (thug.x > kScreenWidth || right < 0.0f)
    state = THUG_DORMANT;
  else if (right < kScreenWidth && thug.x > 0.0f)
    state = THUG_PATROL;
}

void Patrol(Sprite& thug) {
  // The limits are drawn anew every frame: right 591..640, left 0..199.
  int r = CrtRand();
  if (thug.x <= static_cast<float>(640 - r % 50) && thug.current_anim == THUG_WALK_RIGHT) {
    thug.x += kPatrolStep;
    const int r2 = CrtRand();
    if (thug.x >= static_cast<float>(640 - r2 % 50)) Select(thug, THUG_WALK_LEFT);
    return;
  }
  r = CrtRand();
  if (thug.x >= static_cast<float>(r % 200) && thug.current_anim == THUG_WALK_LEFT) {
    thug.x -= kPatrolStep;
    const int r2 = CrtRand();
    if (thug.x <= static_cast<float>(r2 % 200)) Select(thug, THUG_WALK_RIGHT);
  }
}

void Alerted(Sprite& thug) {
  const bool walking = thug.current_anim == THUG_WALK_RIGHT || thug.current_anim == THUG_WALK_LEFT;
  int& frames = thug.counters[THUG_ALERT_FRAMES];
  if (Hero.x < thug.x && walking) {
    frames = 0;
    Select(thug, THUG_ALERT_LEFT);
  } else if (Hero.x > thug.x && walking) {
    frames = 0;
    Select(thug, THUG_ALERT_RIGHT);
  } else if (frames < kAlertFrames) {
    ++frames;
  } else {
    State(thug) = THUG_CHASE;
    SelectUnless(thug, thug.x > Hero.x ? THUG_WALK_LEFT : THUG_WALK_RIGHT);
  }
}

void Chase(Sprite& thug) {
  // Clearing the mark lets the next thug's alert be heard.
  if (MarkedPlaying(SoundAlert)) ClearPlayingMark(SoundAlert, false);
  thug.counters[THUG_ALERT_FRAMES] = 0;
  if (thug.x > Hero.x) {
    thug.x -= kChaseStep;
    SelectUnless(thug, THUG_WALK_LEFT);
  } else if (thug.x < Hero.x) {
    thug.x += kChaseStep;
    SelectUnless(thug, THUG_WALK_RIGHT);
  }
}

void LandBlowOnHero(float push) {
  HitCooldown = 0;
  Hero.x += push;
  Health -= kBlowDamage;
  Rage = std::min(Rage + kBlowRage, kRageMax);
  PlayUnlessMarked(SoundPunch);
  PlayUnlessMarked(SoundHurt);
}

void Attack(Sprite& thug) {
  if (thug.current_anim == THUG_WALK_RIGHT)
    Select(thug, THUG_ATTACK_RIGHT);
  else if (thug.current_anim == THUG_WALK_LEFT)
    Select(thug, THUG_ATTACK_LEFT);
  if (thug.current_frame == THUG_BLOW_RIGHT_FRAME && HitCooldown == HIT_COOLDOWN_READY) LandBlowOnHero(+kBlowPush);
  if (thug.current_frame == THUG_BLOW_LEFT_FRAME && HitCooldown == HIT_COOLDOWN_READY) LandBlowOnHero(-kBlowPush);
  if (thug.x > Hero.x)
    thug.x -= kChaseStep;
  else if (thug.x < Hero.x)
    thug.x += kChaseStep;
}

void Notice(Sprite& thug) {
  State(thug) = THUG_ALERTED;
  MessageMode = 2;
}

void Sight(Sprite& thug) {
  const float d = thug.x - Hero.x;
  const bool left = thug.current_anim == THUG_WALK_LEFT;
  const bool right = thug.current_anim == THUG_WALK_RIGHT;
  // In front within 200 pixels, or behind within 100.
  if (State(thug) == THUG_PATROL && left && d > 0 && d < kSightRange) Notice(thug);
  if (State(thug) == THUG_PATROL && right && -d > 0 && -d < kSightRange) Notice(thug);
  if (State(thug) == THUG_PATROL && right && d > 0 && d < kCloseRange) Notice(thug);
  if (State(thug) == THUG_PATROL && left && -d > 0 && -d < kCloseRange) Notice(thug);
}

void Contact(Sprite& thug) {
  int& state = State(thug);
  if (state != THUG_CHASE && state != THUG_ATTACK) return;
  const float x = thug.x, y = thug.y;
  const float w = static_cast<float>(thug.width), h = static_cast<float>(thug.height);
  state = ScanBackBuffer(x, y + 25, x + w, y + h, COLOR_HERO) != 0 ? THUG_ATTACK : THUG_CHASE;
}

}  // namespace

void ThugsAlertSound() {
  for (Sprite& thug : Thugs)
    if (thug.active && State(thug) == THUG_ALERTED) PlayAndMark(SoundAlert);
}

void ThugsUpdate() {
  for (Sprite& thug : Thugs) {
    if (!thug.active) continue;
    UpdatePresence(thug);
    switch (State(thug)) {
      case THUG_PATROL: Patrol(thug); break;
      case THUG_ALERTED: Alerted(thug); break;
      case THUG_CHASE: Chase(thug); break;
      case THUG_ATTACK: Attack(thug); break;
      default: break;
    }
  }
}

void ThugsWallTurn() {
  for (Sprite& thug : Thugs) {
    if (!thug.active || State(thug) == THUG_ATTACK) continue;
    const float x = thug.x, y = thug.y;
    const float w = static_cast<float>(thug.width), h = static_cast<float>(thug.height);
    if (thug.current_anim == THUG_WALK_LEFT && ScanBackBuffer(x + 5, y + 29, x + w - 40, y + h - 12, COLOR_SOLID))
      Select(thug, THUG_WALK_RIGHT);
    if (thug.current_anim == THUG_WALK_RIGHT && ScanBackBuffer(x + 40, y + 29, x + w - 5, y + h - 12, COLOR_SOLID))
      Select(thug, THUG_WALK_LEFT);
  }
}

void ThugsSightAndContact() {
  for (Sprite& thug : Thugs) {
    if (!thug.active) continue;
    Sight(thug);
    Contact(thug);
  }
}
