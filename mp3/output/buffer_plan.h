#pragma once
// How an open stream's output is cut into wave buffers: about 100 ms each, whole frames, as
// many as the caller's buffer time holds (one in the no-output mode, buffer time 0).
#include <cstdint>

struct BufferPlan {
  uint32_t frames_per_buffer = 0;  // MPEG frames a block holds
  uint32_t buffer_ms = 0;          // the length each wave buffer is made for (a block plus slack)
  uint32_t buffer_count = 0;
};

BufferPlan PlanBuffers(uint32_t sample_rate, uint32_t samples_per_frame, int buffer_ms);
