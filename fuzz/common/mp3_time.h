#pragma once
// A position for the player targets from one fuzz value.
#include <cstdint>

#include "dar3/dar3.h"

// One value in every field, so that whichever the format selects is set.
inline MP3_TIME TimeOf(uint32_t value) {
  MP3_TIME time{};
  time.ms = value;
  time.sec = value % 100000;
  time.bytes = value;
  time.frames = value % 200000;
  time.hms_hour = value >> 24;
  time.hms_minute = (value >> 16) & 0xFF;
  time.hms_second = (value >> 8) & 0xFF;
  time.hms_millisecond = value & 0xFF;
  return time;
}
