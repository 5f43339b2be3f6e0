// A managed stream fed as the input says. Input layout:
//   [flags] [4 answers] [first block size] [first block] then blocks of [size][bytes]...
// flags: bit 0 buffered (copying) mode, bit 1 push the end of data after the last block,
// bit 2 start playing before the blocks are pushed (else after), bit 3 push from the callback
// when the decoder asks for more instead of from this thread. The player's requests for more
// data are answered with the answers in turn (0 wait, 1 no more data, 2 ask again). Opening,
// the refill, the queue figures and the end of a run must hold up with any of it.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "fuzz/common/input_bytes.h"
#include "fuzz/common/player_run.h"

namespace {

std::atomic<uint32_t> answers{0};  // four 2-bit answers
std::atomic<unsigned> asked{0};
// Set once every block of the input is pushed; the asks answered after it are counted. A stream
// told to wait then, or asked a whole round of answers, will get no more data: the run is over.
std::atomic<bool> fed_all{false};
std::atomic<bool> waiting_for_nothing{false};
std::atomic<unsigned> asked_after_feed{0};
std::mutex feed_lock;
InputBytes* callback_feed = nullptr;  // set while the callback may push
RUVe3* player = nullptr;

size_t BlockSize(uint8_t code) { return code < 0xF0 ? size_t(code) * 16 + (code & 15) : size_t(code - 0xEF) * 4096; }

bool PushNextBlock(InputBytes* feed) {
  if (feed->left() == 0) return false;
  size_t size = 0;
  const uint8_t* block = feed->Block(BlockSize(feed->Byte()), &size);
  player->PushDataToStream(block, unsigned(size));
  STREAM_LOAD_INFO load;
  player->GetStreamLoad(&load);
  if (load.queued_bytes < 0 || load.queued_blocks < 0 || load.queued_ms < 0) __builtin_trap();
  return true;
}

int32_t Answer(uint32_t message, intptr_t, intptr_t) {
  if (message != MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA) return 1;
  {
    std::lock_guard<std::mutex> hold(feed_lock);
    if (callback_feed) {
      if (PushNextBlock(callback_feed)) return 0;
      fed_all = true;
    }
  }
  const unsigned turn = asked.fetch_add(1) % 4;
  const uint32_t answer = (answers.load() >> (2 * turn)) & 3;
  if (fed_all) {
    if (answer == 0) waiting_for_nothing = true;
    asked_after_feed.fetch_add(1);
  }
  return answer == 3 ? 1 : int32_t(answer);
}

bool Stalled() {
  if (!waiting_for_nothing && asked_after_feed <= 8) return false;
  STREAM_LOAD_INFO load;
  player->GetStreamLoad(&load);
  return load.queued_bytes == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!player) player = FuzzPlayer(&Answer, MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA);
  InputBytes input(data, size);
  const uint8_t flags = input.Byte();
  answers = input.U32();
  asked = 0;
  fed_all = false;
  waiting_for_nothing = false;
  asked_after_feed = 0;
  size_t first_size = 0;
  const uint8_t* first = input.Block(BlockSize(input.Byte()), &first_size);
  if (player->OpenStream(flags & 1, 1, first, unsigned(first_size), 0)) {
    const bool play_first = flags & 4;
    if (play_first) player->Play();
    if (flags & 8) {
      std::lock_guard<std::mutex> hold(feed_lock);
      callback_feed = &input;
    } else {
      while (PushNextBlock(&input)) {
      }
    }
    if (flags & 2) player->PushDataToStream(nullptr, 0);
    if (!(flags & 8)) fed_all = true;
    if (!play_first) player->Play();
    WaitForRunEnd(player, std::chrono::milliseconds(100), &Stalled);
    {
      std::lock_guard<std::mutex> hold(feed_lock);
      callback_feed = nullptr;
    }
  }
  player->Close();
  return 0;
}
