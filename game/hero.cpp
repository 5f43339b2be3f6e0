#include "game/hero.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "game/color_box.h"
#include "game/sound_marks.h"
#include "game/world.h"
#include "sprites/sprite.h"

namespace {

constexpr float kWalkStep = 4.0f;
constexpr float kTakeOffSpeed = -6.0f;
constexpr float kGravity = 0.45f;
constexpr float kSinkStep = 8.0f;
constexpr float kStandingFallSpeed = 0.1f;
constexpr float kFastFallBelow = 380.0f;
constexpr int kRageCost = 25;
constexpr int kRageMax = 100;
constexpr int kKnockoutHits = 4;
constexpr int kKnockoutRage = 10;
constexpr int kKnockoutScore = 10;
constexpr int kHitReach = 600;
// The ground and wall loops move one pixel a step; a picture that is solid up to the clamped
// edge of the scan would keep them going for ever, so they stop after a screen's worth.
constexpr int kMaxGroundSteps = 480;
constexpr int kMaxWallSteps = 640;

bool AnimIs(int a, std::initializer_list<int> set) {
  for (int v : set)
    if (a == v) return true;
  return false;
}

void SelectHeroAnim(int anim) { SetSpriteAnimation(&Hero, anim); }

// direction +1 walks right, -1 left.
void WalkHero(int direction) {
  Hero.x += kWalkStep * static_cast<float>(direction);
  HeroMoved = 1;
  HeroStep = 4 * direction;
}

// The swing sound of an attack: started once, stopped by its contact frames.
void SwingSound(int contact_a, int contact_b) {
  PlayAndMark(SoundSwing);
  if ((Hero.current_frame == contact_a || Hero.current_frame == contact_b) && MarkedPlaying(SoundSwing))
    ClearPlayingMark(SoundSwing, true);
}

// The punch and the special attack follow one rule with their own poses, frames and cost.
struct AttackMove {
  int right_anim, left_anim;
  int right_contact, left_contact;
  // A frame that only another attack's animation shows: the pose may not start over it.
  int right_blocked_frame, left_blocked_frame;
  int32_t* state;  // 2 attacking right, 1 left, 0 none
  int rage_cost;
};

constexpr AttackMove kSpecial = {
    HERO_SPECIAL_RIGHT, HERO_SPECIAL_LEFT, HERO_SPECIAL_RIGHT_CONTACT, HERO_SPECIAL_LEFT_CONTACT, 48, 52,
    &SpecialState,      kRageCost};
constexpr AttackMove kPunch = {
    HERO_PUNCH_RIGHT, HERO_PUNCH_LEFT, HERO_PUNCH_RIGHT_CONTACT, HERO_PUNCH_LEFT_CONTACT, 40, 44, &AttackState, 0};

void Attack(const AttackMove& move) {
  SwingSound(move.right_contact, move.left_contact);
  const int f = Hero.current_frame;
  const int a = Hero.current_anim;
  if (f != move.right_blocked_frame && AnimIs(a, {HERO_WALK_RIGHT, HERO_STAND_RIGHT, move.right_anim})) {
    *move.state = 2;
    Rage -= move.rage_cost;
    if (a != move.right_anim) SelectHeroAnim(move.right_anim);
  } else if (f != move.left_blocked_frame && AnimIs(a, {HERO_STAND_LEFT, HERO_WALK_LEFT, move.left_anim})) {
    *move.state = 1;
    Rage -= move.rage_cost;
    if (a != move.left_anim) SelectHeroAnim(move.left_anim);
  } else {
    *move.state = 0;
  }
}

// One blow test: the box is scanned for thug colour while the contact frame shows.
struct BlowTest {
  bool facing_left;
  int contact_frame;
  float push;
  int damage;
};

void LandBlow(const BlowTest& blow) {
  const float x = Hero.x, y = Hero.y;
  const float w = static_cast<float>(Hero.width), h = static_cast<float>(Hero.height);
  const int c = blow.facing_left ? ScanBackBuffer(x + 14, y + 25, x + w - 36, y + h - 12, COLOR_THUG)
                                 : ScanBackBuffer(x + w - 36, y + 25, x + w - 14, y + h - 12, COLOR_THUG);
  if (c == 0 || Hero.current_frame != blow.contact_frame) return;

  Sprite* pick = nullptr;
  int best = kHitReach;
  for (Sprite& thug : Thugs) {
    if (!thug.active) continue;
    const float edge = blow.facing_left ? thug.x + static_cast<float>(thug.width) : thug.x;
    const float distance = std::fabs(static_cast<float>(c) - edge);
    if (distance < static_cast<float>(best)) {
      pick = &thug;
      best = static_cast<int>(distance);
    }
  }
  PlayUnlessMarked(SoundPunch);
  if (pick == nullptr) return;
  pick->x += blow.push;
  pick->counters[THUG_HITS] += blow.damage;
  if (pick->counters[THUG_HITS] >= kKnockoutHits) {
    DestroySprite(pick);
    Rage = std::min(Rage + kKnockoutRage, kRageMax);
    MessageMode = 3;
    Score += kKnockoutScore;
    ++Knockouts;
  }
}

}  // namespace

void HeroWalk(const GameKeys& keys) {
  const bool attacking = AttackState != 0 || SpecialState != 0;
  if (keys.right && !attacking) {
    WalkHero(+1);
    if (Hero.current_anim != HERO_WALK_RIGHT) SelectHeroAnim(HERO_WALK_RIGHT);
  } else if (keys.left && !attacking) {
    WalkHero(-1);
    if (Hero.current_anim != HERO_WALK_LEFT) SelectHeroAnim(HERO_WALK_LEFT);
  } else {
    HeroStep = 0;
    if (Airborne == 0 && !attacking) {
      const int a = Hero.current_anim;
      if (AnimIs(a, {HERO_WALK_RIGHT, HERO_JUMP_DOWN_RIGHT, HERO_PUNCH_RIGHT, HERO_SPECIAL_RIGHT}))
        SelectHeroAnim(HERO_STAND_RIGHT);
      else if (AnimIs(a, {HERO_WALK_LEFT, HERO_JUMP_DOWN_LEFT, HERO_PUNCH_LEFT, HERO_SPECIAL_LEFT}))
        SelectHeroAnim(HERO_STAND_LEFT);
    }
  }
}

void HeroPoseAndAttack(const GameKeys& keys) {
  const int a = Hero.current_anim;
  const bool attacking = AttackState != 0 || SpecialState != 0;
  const bool rising = Hero.vel_y <= 0.0f;
  if (rising && Airborne == 1 && AnimIs(a, {HERO_WALK_RIGHT, HERO_STAND_RIGHT, HERO_PUNCH_RIGHT, HERO_SPECIAL_RIGHT}) &&
      !attacking) {
    SelectHeroAnim(HERO_JUMP_UP_RIGHT);
  } else if (!rising && Airborne == 1 && a == HERO_JUMP_UP_RIGHT) {
    SelectHeroAnim(HERO_JUMP_DOWN_RIGHT);
  } else if (rising && Airborne == 1 &&
             AnimIs(a, {HERO_STAND_LEFT, HERO_WALK_LEFT, HERO_PUNCH_LEFT, HERO_SPECIAL_LEFT}) && !attacking) {
    SelectHeroAnim(HERO_JUMP_UP_LEFT);
  } else if (!rising && Airborne == 1 && a == HERO_JUMP_UP_LEFT) {
    SelectHeroAnim(HERO_JUMP_DOWN_LEFT);
  } else if (keys.shift && !keys.up && Rage > kRageCost - 1) {
    Attack(kSpecial);
  } else if (keys.space) {
    Attack(kPunch);
    // The hero may walk while punching.
    if (keys.right)
      WalkHero(+1);
    else if (keys.left)
      WalkHero(-1);
  }
}

void HeroJumpAndFall(const GameKeys& keys) {
  if (keys.up && AttackState == 0) {
    Landed = 0;
    if (Airborne == 0 && Hero.vel_y == 0.0f) {
      PlayUnlessMarked(SoundJump);
      Hero.vel_y = kTakeOffSpeed;
      Airborne = 1;
    } else if (Airborne == 1) {
      Hero.vel_y += kGravity;
    }
  }
  if (!keys.up && Landed == 0) Hero.vel_y += kGravity;
  if (!keys.shift) SpecialState = 0;
  if (!keys.space) AttackState = 0;
  if (Airborne == 1) {
    Landed = 0;
    Hero.y += Hero.y <= kFastFallBelow ? Hero.vel_y : kSinkStep;
  } else {
    Hero.y += kSinkStep;
    Hero.vel_y = kStandingFallSpeed;
  }
}

void HeroGroundAndWalls() {
  const float w = static_cast<float>(Hero.width), h = static_cast<float>(Hero.height);
  for (int step = 0; step < kMaxGroundSteps; ++step) {
    const float x = Hero.x, y = Hero.y;
    int found;
    if (x <= -25.0f) {
      // Both feet boxes start at column 1 here, so a match never lands on column 0.
      found = ScanBackBuffer(1, y + 60, x + w - 26, y + h - 6, COLOR_SOLID);
    } else {
      found = ScanBackBuffer(x + 25, y + 60, x + w - 26, y + h - 6, COLOR_SOLID);
      if (found == 0) found = ScanBackBuffer(x + 28, y + 60, x + w - 29, y + h - 6, COLOR_SOLID);
    }
    if (found == 0) break;
    Hero.y -= 1.0f;
    Airborne = 0;
    Landed = 1;
    Hero.vel_y = 0.0f;
  }
  for (int step = 0; step < kMaxWallSteps; ++step) {
    const float x = Hero.x, y = Hero.y;
    if (ScanBackBuffer(x + 26, y + 25, x + w - 36, y + h - 12, COLOR_SOLID) == 0) break;
    Hero.x += 1.0f;
  }
  for (int step = 0; step < kMaxWallSteps; ++step) {
    const float x = Hero.x, y = Hero.y;
    if (ScanBackBuffer(x + w - 36, y + 25, x + w - 27, y + h - 12, COLOR_SOLID) == 0) break;
    Hero.x -= 1.0f;
  }
}

void HeroHitsThugs() {
  if (AttackState == 1) LandBlow({true, HERO_PUNCH_LEFT_CONTACT, -20.0f, 1});
  if (AttackState == 2) LandBlow({false, HERO_PUNCH_RIGHT_CONTACT, 20.0f, 1});
  if (SpecialState == 1) LandBlow({true, HERO_SPECIAL_LEFT_CONTACT, -40.0f, 3});
  if (SpecialState == 2) LandBlow({false, HERO_SPECIAL_RIGHT_CONTACT, 40.0f, 3});
}
