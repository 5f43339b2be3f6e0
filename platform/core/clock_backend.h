#pragma once
// The clock service's backend table: the steady system clock, or the headless virtual clock.
#include <cstdint>

namespace platform {

struct ClockBackend {
  uint32_t (*ticks)();  // milliseconds, wrapping at 2^32
  void (*sleep)(uint32_t ms);
  void (*spin_pause)();  // one short pause inside a polling wait
};

extern const ClockBackend kSystemClock;    // core/system
extern const ClockBackend kHeadlessClock;  // core/headless

}  // namespace platform
