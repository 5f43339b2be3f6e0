#include "display/frame_clock.h"

#include "platform/clock.h"

uint32_t frame_start_ticks = 0;

namespace {
// Below this many remaining milliseconds the wait spins; above it, it sleeps (a sleep may
// overshoot by about a millisecond).
constexpr uint32_t kSpinMargin = 2;
}  // namespace

uint32_t GetClock() { return platform::GetTickCount(); }

uint32_t StartClock() {
  frame_start_ticks = GetClock();
  return frame_start_ticks;
}

uint32_t WaitClock(uint32_t period) {
  for (;;) {
    uint32_t elapsed = GetClock() - frame_start_ticks;
    if (elapsed >= period) break;
    uint32_t remaining = period - elapsed;
    if (remaining > kSpinMargin)
      platform::SleepMs(remaining - kSpinMargin);
    else
      platform::SpinPause();
  }
  return GetClock();
}
