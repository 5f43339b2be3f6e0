#include "tests/mp3/player/device_ring.h"

#include <chrono>
#include <thread>

uint32_t QueuedBuffers(DAr3& p) {
  uint32_t queued = 0;
  for (uint32_t i = 0; i < p.WaveOut().GetBufferCount(); ++i) queued += !p.WaveOut().IsBufferDone(i);
  return queued;
}

void WaitQueued(DAr3& p, uint32_t buffers) {
  for (int waited = 0; waited < 2000 && QueuedBuffers(p) < buffers; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
