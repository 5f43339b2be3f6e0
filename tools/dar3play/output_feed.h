// Carries the blocks a player decodes without a device into dar3play's own output, at the
// track's ReplayGain. Installed as the player's event handler (callback_router.h).
#pragma once

#include <atomic>
#include <cstdint>

#include "tools/dar3play/pcm_output.h"

class OutputFeed {
 public:
  explicit OutputFeed(PcmOutput* output) : output_(output) {}
  // From the next block on: the factor of the track that starts decoding.
  void SetGain(double factor) { gain_.store(factor); }
  // MP3_EVENT_WAVE_BUFFER: 1 once the block is queued (the decoder waits while the output is
  // full), 2 to stop the run when the output gave up (a stop, seek or quit is under way).
  int32_t OnEvent(uint32_t message, intptr_t wparam, intptr_t lparam);

 private:
  PcmOutput* output_;
  std::atomic<double> gain_{1.0};
};
