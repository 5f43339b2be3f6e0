#include "tools/dar3play/position_clock.h"

void PositionClock::Start(uint32_t start_ms) {
  start_ms_ = start_ms;
  started_ = Clock::now();
  paused_for_ = {};
  paused_ = false;
}

void PositionClock::Pause() {
  if (paused_) return;
  paused_ = true;
  paused_at_ = Clock::now();
}

void PositionClock::Resume() {
  if (!paused_) return;
  paused_ = false;
  paused_for_ += Clock::now() - paused_at_;
}

uint32_t PositionClock::ElapsedMs() const {
  const Clock::time_point now = paused_ ? paused_at_ : Clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - started_ - paused_for_).count();
  return ms > 0 ? uint32_t(ms) : 0;
}

uint32_t PositionClock::Now(MP3_HANDLE player, bool reverse) {
  MP3_TIME time{};
  if (Mp3_GetPosition(player, &time)) {
    estimated_ = false;
    return time.ms;
  }
  estimated_ = true;
  const uint32_t elapsed = ElapsedMs();
  if (reverse) return elapsed > start_ms_ ? 0 : start_ms_ - elapsed;
  return start_ms_ + elapsed;
}
