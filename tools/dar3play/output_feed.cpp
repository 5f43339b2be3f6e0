#include "tools/dar3play/output_feed.h"

#include <vector>

#include "dar3/dar3.h"
#include "tools/dar3play/replay_gain.h"

namespace {
constexpr int32_t kBlockTaken = 1;
constexpr int32_t kStopPlaying = 2;
}  // namespace

int32_t OutputFeed::OnEvent(uint32_t message, intptr_t wparam, intptr_t lparam) {
  if (message != MP3_EVENT_WAVE_BUFFER || !wparam || lparam <= 0) return 0;
  // Each player calls on its own thread; each thread keeps its own scratch block.
  thread_local std::vector<int16_t> scaled;
  const auto* block = reinterpret_cast<const int16_t*>(wparam);  // NOLINT(performance-no-int-to-ptr): the address
  const size_t samples = size_t(lparam) / sizeof(int16_t);
  const int16_t* heard = WithGain(block, samples, gain_.load(), &scaled);
  return output_->Write(heard, samples / 2) ? kBlockTaken : kStopPlaying;
}
