#include "tools/jedreplay/autoplayer.h"

#include <cmath>

#include "game/world.h"
#include "platform/window.h"

namespace {

using platform::Key;
using platform::KeyBit;

constexpr float kFightReach = 120.0f;
// How far in front of the hero the thug's shirt (frame columns 30..43) lies in the fist box.
constexpr float kWindowMin = -7.0f, kWindowMax = 28.0f;
constexpr int kRushHealth = 30;
constexpr int kStuckFrames = 3;
constexpr int kJumpFrames = 12;

bool HeroFacesLeft() {
  switch (Hero.current_anim) {
    case HERO_STAND_LEFT:
    case HERO_WALK_LEFT:
    case HERO_JUMP_UP_LEFT:
    case HERO_JUMP_DOWN_LEFT:
    case HERO_PUNCH_LEFT:
    case HERO_SPECIAL_LEFT: return true;
    default: return false;
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
    case GamePhase::Story: return TitleOrStory();
    case GamePhase::Level:
      if (GameWon || GameOver) return EndScreen();
      return style_ == Style::Fight ? Fight() : Stand();
    case GamePhase::Finished: break;
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
  // Where the scores follow the end screen (the game on a desktop), Space asks for another run;
  // elsewhere the game has ended by then.
  if (end_frames_ == 2 * kScreenWaitFrames) return KeyBit(Key::Space);
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
  // Hurt, or on the last screen where only its right part counts: jump on through.
  if ((ScreenIndex == SCREEN_COUNT - 1 || Health <= kRushHealth) && AttackState == 0 && SpecialState == 0)
    return KeyBit(Key::Right) | KeyBit(Key::Up);
  const Sprite* thug = NearestThug();
  if (thug == nullptr || std::fabs(thug->x - Hero.x) > kFightReach) return WalkRight();
  last_x_ = Hero.x;
  const bool facing_left = HeroFacesLeft();
  // How far the thug stands in front of the hero (negative: behind his left edge).
  const float ahead = facing_left ? Hero.x - thug->x : thug->x - Hero.x;
  if (ahead < kWindowMin) {
    // Let go of the attack keys first: the hero turns only once no attack is under way.
    if (AttackState != 0 || SpecialState != 0) return 0;
    return KeyBit(facing_left ? Key::Right : Key::Left);
  }
  // A special keeps hitting without more RAGE while Shift stays down and he stays in reach.
  if (SpecialState != 0 && ahead <= kWindowMax) return KeyBit(Key::Shift);
  if (SpecialState == 0 && AttackState == 0 && Rage > 24 && ahead <= kWindowMax) return KeyBit(Key::Shift);
  // Otherwise punch while walking at him: his blows push the hero back, the walk closes in.
  return KeyBit(Key::Space) | KeyBit(facing_left ? Key::Left : Key::Right);
}

uint32_t Autoplayer::Stand() {
  if (MessageMode == 2) noticed_ = true;
  return noticed_ ? 0 : WalkRight();
}
