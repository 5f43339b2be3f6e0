// The virtual clock: it stands still until a wait (or the test) moves it, so frame pacing
// costs no real time and every run is identical.
#include <atomic>

#include "platform/clock.h"
#include "platform/core/clock_backend.h"

namespace platform {
namespace {
std::atomic<uint32_t> virtual_ticks{0};

uint32_t VirtualTicks() { return virtual_ticks.load(); }
void VirtualSleep(uint32_t ms) { virtual_ticks.fetch_add(ms); }
// A spin on the tick count always ends: every pause is one virtual millisecond.
void VirtualSpinPause() { virtual_ticks.fetch_add(1); }
}  // namespace

const ClockBackend kHeadlessClock{VirtualTicks, VirtualSleep, VirtualSpinPause};

void AdvanceVirtualClock(uint32_t ms) { virtual_ticks.fetch_add(ms); }
void SetVirtualClock(uint32_t ticks) { virtual_ticks.store(ticks); }

}  // namespace platform
