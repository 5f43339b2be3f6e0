#pragma once
// A built-in player that reads the game's state after every presented frame and chooses the
// keys for the next one.
#include <cstdint>

#include "game/win_main.h"

class Autoplayer {
 public:
  enum class Style {
    Fight,       // walks right, jumps what stops him, punches and specials thugs in reach
    StandStill,  // walks right until a thug notices him, then does nothing
  };
  explicit Autoplayer(Style style) : style_(style) {}

  // Keys (platform::KeyBit masks) for the next frame.
  uint32_t NextKeys();
  // True once the end screen has been shown long enough and the autoplayer moves on from it.
  bool LeavingEndScreen() const { return leaving_end_screen_; }

  // Frames an intro or end screen is left up before Enter moves on.
  static constexpr int kScreenWaitFrames = 40;

 private:
  uint32_t TitleOrStory();
  uint32_t EndScreen();
  uint32_t Fight();
  uint32_t Stand();
  uint32_t WalkRight();

  Style style_;
  GamePhase phase_ = GamePhase::Starting;
  int phase_frames_ = 0;
  int end_frames_ = 0;
  bool leaving_end_screen_ = false;
  float last_x_ = 0.0f;
  int stuck_frames_ = 0;
  int jump_frames_ = 0;
  bool noticed_ = false;
};
