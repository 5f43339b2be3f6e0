// The play position: the player's own when it reports one, otherwise counted from the wall
// clock, so the progress bar still moves while GetPosition is missing from the library.
#pragma once

#include <chrono>
#include <cstdint>

#include "dar3/dar3.h"

class PositionClock {
 public:
  // Playback (re)started at start_ms.
  void Start(uint32_t start_ms);
  void Pause();
  void Resume();
  // From the player when it can, else estimated; reverse counts down.
  uint32_t Now(MP3_HANDLE player, bool reverse);
  bool estimated() const { return estimated_; }

 private:
  using Clock = std::chrono::steady_clock;
  uint32_t ElapsedMs() const;

  uint32_t start_ms_ = 0;
  Clock::time_point started_ = Clock::now();
  Clock::time_point paused_at_{};
  Clock::duration paused_for_{};
  bool paused_ = false;
  bool estimated_ = false;
};
