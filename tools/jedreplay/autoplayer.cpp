#include "tools/jedreplay/autoplayer.h"

#include <cmath>

#include "game/world.h"
#include "platform/window.h"

namespace {

using platform::Key;
using platform::KeyBit;

constexpr float kFightReach = 64.0f;
constexpr int kStuckFrames = 3;
constexpr int kJumpFrames = 12;

bool HeroFacesLeft() {
  switch (Hero.current_anim) {
    case HERO_STAND_LEFT: case HERO_WALK_LEFT: case HERO_JUMP_UP_LEFT: case HERO_JUMP_DOWN_LEFT:
    case HERO_PUNCH_LEFT: case HERO_SPECIAL_LEFT:
      return true;
    default:
      return false;
  }
}

// The live thug nearest to the hero on the screen shown, or null.
const Sprite* NearestThug() {
  const Sprite* nearest = nullptr;
  float best = 0.0f;
  for (const Sprite& thug : Thugs) {
    if (!thug.active || thug.x < -72.0f || thug.x > 640.0f) continue;
    const float d = std::fabs(thug.x - Hero.x);
    if (nearest == nullptr || d < best) {
      nearest = &thug;
      best = d;
    }
  }
  return nearest;
}

}  // namespace

uint32_t Autoplayer::NextKeys() {
  const GamePhase phase = CurrentPhase();
  if (phase != phase_) {
    phase_ = phase;
    phase_frames_ = 0;
  }
  ++phase_frames_;
  switch (phase) {
    case GamePhase::Starting:
    case GamePhase::Title:
    case GamePhase::Story:
      return TitleOrStory();
    case GamePhase::Level:
      if (GameWon || GameOver) return EndScreen();
      return style_ == Style::Fight ? Fight() : Stand();
    case GamePhase::Finished:
      break;
  }
  return 0;
}

uint32_t Autoplayer::TitleOrStory() {
  // Enter for exactly one frame: held longer it would also end the next phase.
  return phase_frames_ == kScreenWaitFrames ? KeyBit(Key::Enter) : 0;
}

uint32_t Autoplayer::EndScreen() {
  ++end_frames_;
  if (end_frames_ == kScreenWaitFrames) {
    leaving_end_screen_ = true;
    return KeyBit(Key::Enter);
  }
  return 0;
}

uint32_t Autoplayer::WalkRight() {
  // Stopped by something while walking: jump it, still walking.
  if (jump_frames_ > 0) {
    --jump_frames_;
    return KeyBit(Key::Right) | KeyBit(Key::Up);
  }
  if (Airborne == 0 && Hero.x <= last_x_ + 0.5f) {
    if (++stuck_frames_ >= kStuckFrames) {
      stuck_frames_ = 0;
      jump_frames_ = kJumpFrames;
    }
  } else {
    stuck_frames_ = 0;
  }
  last_x_ = Hero.x;
  return KeyBit(Key::Right);
}

uint32_t Autoplayer::Fight() {
  const Sprite* thug = NearestThug();
  if (thug == nullptr || std::fabs(thug->x - Hero.x) > kFightReach) {
    last_attack_ = 0;
    return WalkRight();
  }
  last_x_ = Hero.x;
  const bool thug_left = thug->x < Hero.x;
  if (thug_left != HeroFacesLeft() && AttackState == 0 && SpecialState == 0)
    return KeyBit(thug_left ? Key::Left : Key::Right);  // turn round first

  // A special under way keeps hitting while Shift stays down, whatever RAGE is left.
  uint32_t attack = KeyBit(Key::Space);
  if (SpecialState != 0 || (last_attack_ == 0 && Rage > 24)) attack = KeyBit(Key::Shift);
  if (last_attack_ != 0 && attack != last_attack_ && SpecialState == 0 && AttackState != 0) {
    last_attack_ = 0;  // one frame without keys lets the punch pose end before a special
    return 0;
  }
  last_attack_ = attack;
  return attack;
}

uint32_t Autoplayer::Stand() {
  if (MessageMode == 2) noticed_ = true;
  return noticed_ ? 0 : WalkRight();
}
