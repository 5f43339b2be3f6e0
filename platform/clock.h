#pragma once
#include <cstdint>

// The millisecond tick count and sleeping. In the headless backend the clock is virtual:
// it stands still until SleepMs (or AdvanceVirtualClock) moves it, so frame pacing costs no
// real time and every run is identical.
namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 (GetTickCount).
uint32_t GetTickCount();

// Waits about ms milliseconds (headless: advances the virtual clock by ms at once).
void SleepMs(uint32_t ms);

// A short pause (about 50 us) inside a polling wait (headless: advances the virtual clock by 1 ms, so a
// spin on the tick count always ends).
void SpinPause();

// Headless only: moves the virtual clock forward, or sets it (tests of wrap-around).
void AdvanceVirtualClock(uint32_t ms);
void SetVirtualClock(uint32_t ticks);

}  // namespace platform
