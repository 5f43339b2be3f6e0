// GetVUData: the level of the block the device is playing now.
#include "mp3/effects/block_effects.h"
#include "mp3/player/dar3_player.h"

uint32_t DAr3::PlayedIntoRecordedBuffer() {
  const uint32_t position = wave_.GetOutputPosition(3);
  const uint32_t started = state_.played_bytes;
  return position > started ? position - started : 0;
}

int DAr3::GetVUData(unsigned int* left, unsigned int* right) {
  if (!left || !right) {
    SetError("GetVUData->Invalid parameters !");
    return 0;
  }
  *left = *right = 0;
  // The ring is freed and made again only under the lock, by Open and Close.
  platform::MutexLock hold(lock_);
  if (!IsOpen() || !state_.playing || !state_.buffer_played) return 1;
  const uint32_t count = wave_.GetBufferCount();
  if (count == 0) return 1;
  uint32_t offset = PlayedIntoRecordedBuffer();
  uint32_t index = state_.next_index % count;
  // The play position may already be past that buffer: the next one in ring order plays.
  if (offset > wave_.GetBufferLength(index)) {
    offset = 0;
    uint32_t expected = index;
    index = (index + 1) % count;
    state_.next_index.compare_exchange_strong(expected, index);
  }
  const uint32_t bytes = wave_.GetBufferLength(index);
  if (bytes > wave_.GetBufferSize()) return 1;
  VuFromBlock(wave_.GetBufferData(index), bytes, offset, 2, left, right);
  return 1;
}
