#include "mp3/output/buffer_plan.h"

#include "platform/sync.h"

BufferPlan PlanBuffers(uint32_t sample_rate, uint32_t samples_per_frame, int buffer_ms) {
  BufferPlan plan;
  const int32_t spf_ms = int32_t(samples_per_frame) * 1000;
  int32_t frames_per_buffer = platform::MulDiv(100, int32_t(sample_rate), spf_ms);
  if (frames_per_buffer < 1) frames_per_buffer = 1;
  const int32_t duration = platform::MulDiv(frames_per_buffer, spf_ms, int32_t(sample_rate));
  int32_t count = buffer_ms == 0 ? 1 : platform::MulDiv(buffer_ms, 1, duration + 9);
  if (count < 1) count = 1;
  plan.frames_per_buffer = static_cast<uint32_t>(frames_per_buffer);
  plan.buffer_ms = static_cast<uint32_t>(duration + 10);
  plan.buffer_count = static_cast<uint32_t>(count);
  return plan;
}
