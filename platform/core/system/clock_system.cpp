// The steady system clock: real milliseconds and real sleeps.
#include <chrono>
#include <thread>

#include "platform/core/clock_backend.h"

namespace platform {
namespace {
uint32_t RealTicks() {
  using namespace std::chrono;
  static const steady_clock::time_point origin = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

void RealSleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Polling the millisecond tick every 50 us keeps the wait's precision well below a tick
// without keeping a core busy.
void RealSpinPause() { std::this_thread::sleep_for(std::chrono::microseconds(50)); }
}  // namespace

const ClockBackend kSystemClock{RealTicks, RealSleep, RealSpinPause};

}  // namespace platform
