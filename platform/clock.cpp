#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/backend.h"

namespace platform {
namespace {
std::atomic<uint32_t> virtual_ticks{0};

uint32_t RealTicks() {
  using namespace std::chrono;
  static const steady_clock::time_point origin = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}
}  // namespace

uint32_t GetTickCount() { return IsHeadless() ? virtual_ticks.load() : RealTicks(); }

void SleepMs(uint32_t ms) {
  if (IsHeadless()) {
    virtual_ticks.fetch_add(ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SpinPause() {
  if (IsHeadless()) {
    virtual_ticks.fetch_add(1);
    return;
  }
  // Polling the millisecond tick every 50 us keeps the wait's precision well below a tick
  // without keeping a core busy.
  std::this_thread::sleep_for(std::chrono::microseconds(50));
}

void AdvanceVirtualClock(uint32_t ms) { virtual_ticks.fetch_add(ms); }
void SetVirtualClock(uint32_t ticks) { virtual_ticks.store(ticks); }

}  // namespace platform
