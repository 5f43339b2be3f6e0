#pragma once
// The frame clock: holds each frame to at least a given number of milliseconds.
#include <cstdint>

extern uint32_t frame_start_ticks;

uint32_t GetClock();
uint32_t StartClock();
// Returns no earlier than `period` ms after the last StartClock (unsigned arithmetic, so a
// wrap of the tick counter does not matter); sleeps while more than about 2 ms remain.
uint32_t WaitClock(uint32_t period);
