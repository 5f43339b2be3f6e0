#include "platform/clock.h"

#include "platform/backend.h"
#include "platform/core/clock_backend.h"

namespace platform {
namespace {
const ClockBackend& Clock() {
  static const ClockBackend& chosen = BackendTable(kSystemClock, kHeadlessClock);
  return chosen;
}
}  // namespace

uint32_t GetTickCount() { return Clock().ticks(); }
void SleepMs(uint32_t ms) { Clock().sleep(ms); }
void SpinPause() { Clock().spin_pause(); }

}  // namespace platform
