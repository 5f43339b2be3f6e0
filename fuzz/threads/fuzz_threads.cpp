// The flat Mp3_ functions called on the same players from several threads at once. Input:
//   [thread count] [operations of 8 bytes each] [an MP3 stream]
// An operation is: thread, kind, player and callback choice, two small arguments a b, and a
// 24-bit value. Each thread runs its own operations in order, all threads at once; a callback
// runs the operations armed for its player (a bounded number per input) inside the message
// that matches. A handle is never used after its own Destroy returned (the one thing the library
// leaves to the caller): every call holds a shared lease on its player, Destroy the whole one,
// and a callback only ever tries for its lease briefly, since the call holding the other side
// may wait for that very callback. At the end every player is destroyed and every thread the
// players started must have ended: a thread left running, like a hang, is a finding.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "fuzz/common/input_bytes.h"
#include "fuzz/common/mp3_time.h"
#include "fuzz/common/player_threads.h"
#include "platform/audio.h"

namespace {

struct Op {
  uint8_t thread, kind, where, a, b;
  uint32_t value;  // 24 bits
};

constexpr int kSlots = 2;
constexpr unsigned kMaxThreads = 4;
constexpr unsigned kMaxOps = 48;
constexpr unsigned kCallbackBudget = 16;

std::shared_timed_mutex leases[kSlots];
std::atomic<MP3_HANDLE> players[kSlots];
std::mutex armed_lock;
std::vector<Op> armed[kSlots];
unsigned callback_ops = 0;
std::vector<std::unique_ptr<uint8_t[]>> pushed;  // blocks given to the players, freed at the end
const uint8_t* mp3 = nullptr;
size_t mp3_size = 0;
std::string mp3_path;

template <int slot>
int32_t Callback(uint32_t message, intptr_t wparam, intptr_t lparam);
MP3_CALLBACK_FUNC CallbackOf(int slot) { return slot ? &Callback<1> : &Callback<0>; }
// The wave-buffer message keeps the no-output mode flowing.
unsigned Mask(uint32_t value) { return (value & 0x07FFFFFFu) | MP3_EVENT_WAVE_BUFFER; }
int BufferMs(uint8_t code) { return code < 224 ? 0 : (code & 1 ? 200 : 199); }

void Execute(const Op& op, MP3_HANDLE h, int slot, bool in_callback);

void Create(int slot, uint32_t value) {
  MP3_HANDLE h = Mp3_Initialize();
  Mp3_SetCallbackFunc(h, CallbackOf(slot), Mask(value));
  players[slot] = h;
}

// Destroy under the whole lease: no other call is under way on that handle, nor can start.
void Destroy(int slot, bool in_callback, uint32_t value) {
  std::unique_lock<std::shared_timed_mutex> whole(leases[slot], std::defer_lock);
  if (!in_callback)
    whole.lock();
  else if (!whole.try_lock_for(std::chrono::milliseconds(3)))
    return;
  MP3_HANDLE h = players[slot].exchange(nullptr);
  if (h) Mp3_Destroy(h);
  if (!in_callback && (value & 1)) Create(slot, value);
}

template <int slot>
int32_t Callback(uint32_t message, intptr_t wparam, intptr_t lparam) {
  if (message == MP3_EVENT_WAVE_BUFFER && wparam && lparam > 0) {
    const auto* block = reinterpret_cast<const volatile uint8_t*>(wparam);
    (void)block[lparam - 1];
  }
  Op op{};
  {
    std::lock_guard<std::mutex> hold(armed_lock);
    std::vector<Op>& list = armed[slot];
    for (size_t i = 0; i < list.size() && callback_ops < kCallbackBudget; ++i) {
      if (!((list[i].value >> 4) & message)) continue;
      op = list[i];
      list.erase(list.begin() + long(i));
      ++callback_ops;
      break;
    }
  }
  // Only on this callback's own player: two handlers each waiting for the other player's run
  // would be the application's deadlock, not the library's.
  if (op.kind) {
    if (op.kind % 20 == 1) {
      Destroy(slot, true, op.value);
    } else {
      std::shared_lock<std::shared_timed_mutex> lease(leases[slot], std::defer_lock);
      if (lease.try_lock_for(std::chrono::milliseconds(3))) Execute(op, players[slot].load(), slot, true);
    }
  }
  if (message == MP3_EVENT_WAVE_BUFFER) return 1;
  return message >= 0x10000 ? int32_t(lparam & 1) : 0;
}

void Getters(MP3_HANDLE h, const Op& op) {
  MP3_TIME time{};
  MP3_STATUS status{};
  MP3_STREAM_INFO info{};
  STREAM_LOAD_INFO load{};
  int left = 0, right = 0, preamp = 0, gains[32] = {};
  unsigned vu_left = 0, vu_right = 0;
  char text[48];
  int32_t freqs[33], amplitudes[33];
  switch (op.a % 12) {
    case 0: Mp3_GetPosition(h, &time); break;
    case 1: Mp3_GetStatus(h, &status); break;
    case 2: Mp3_GetMp3Info(h, &info); break;
    case 3: Mp3_GetSongLength(h, &time); break;
    case 4: Mp3_GetBitrate(h, op.b & 1); break;
    case 5: Mp3_GetStreamLoad(h, &load); break;
    case 6: Mp3_GetVUData(h, &vu_left, &vu_right); break;
    case 7: Mp3_GetVolume(h, &left, &right); break;
    case 8: Mp3_GetID3Field(h, 1 + (op.b & 1), 1 << (op.b % 7), text, int(op.value % sizeof text)); break;
    case 9: Mp3_GetEQParam(h, 0, &preamp, gains); break;
    case 10: Mp3_GetError(h, text, int(op.value % sizeof text)); break;
    default:
      Mp3_GetFFTValues(h, 64, 1 + op.b % 14, FFT_OUT_HARMONIC_FREQ | FFT_OUT_LEFT_AMPLITUDE, nullptr, freqs, amplitudes,
                       nullptr, nullptr, nullptr);
      break;
  }
}

void Push(MP3_HANDLE h, const Op& op) {
  const size_t from = mp3_size ? op.value % mp3_size : 0;
  size_t size = size_t(op.a) * 32 + op.b;
  if (size > mp3_size - from) size = mp3_size - from;
  std::unique_ptr<uint8_t[]> block(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(block.get(), mp3 + from, size);
  Mp3_PushDataToStream(h, size ? block.get() : nullptr, unsigned(size));
  std::lock_guard<std::mutex> hold(armed_lock);
  pushed.push_back(std::move(block));
}

void Execute(const Op& op, MP3_HANDLE h, int slot, bool in_callback) {
  if (!h) return;
  MP3_TIME time = TimeOf(op.value % 3000), end = TimeOf(op.value % 3000 + op.b * 7u);
  switch (op.kind % 20) {
    case 2: Mp3_OpenFile(h, op.a & 1 ? "/nonexistent.mp3" : mp3_path.c_str(), BufferMs(op.b), 0, 0); break;
    case 3: Mp3_OpenStream(h, op.a & 1, (op.a >> 1) & 1, mp3, unsigned(mp3_size), BufferMs(op.b)); break;
    case 4: Mp3_Close(h); break;
    case 5: Mp3_Play(h); break;
    case 6: Mp3_PlayLoop(h, TIME_FORMAT_MS, &time, TIME_FORMAT_MS, &end, op.a % 3); break;
    case 7: Mp3_Seek(h, op.a & 1 ? TIME_FORMAT_BYTES : TIME_FORMAT_MS, &time, MOVE_FROM_START << (op.b % 4)); break;
    case 8: Mp3_Stop(h); break;
    case 9: op.a & 1 ? Mp3_Pause(h) : Mp3_Resume(h); break;
    case 10:
    case 11: Getters(h, op); break;
    case 12: Push(h, op); break;
    case 13: Mp3_SetCallbackFunc(h, op.a & 1 ? nullptr : CallbackOf(op.a & 2 ? slot : 1 - slot), Mask(op.value)); break;
    case 14: Mp3_ReverseMode(h, op.a & 1); break;
    case 15: Mp3_EnableEQ(h, op.a & 1, op.b & 1); break;
    case 16: Mp3_SetSfxParam(h, op.a & 1, op.b % 10, int(op.value % 2000), 50, 50, 50); break;
    case 17: Mp3_FadeVolume(h, 1 + (op.a & 1), TIME_FORMAT_MS, &time); break;
    case 18: Mp3_SetPlayerVolume(h, op.a % 101, op.b % 101); break;
    case 19: {
      // Arms operation `a` (its argument b) for the first message in bits 4.. of the value.
      if (in_callback) break;
      Op inner = op;
      inner.kind = op.a;
      inner.a = op.b;
      std::lock_guard<std::mutex> hold(armed_lock);
      armed[slot].push_back(inner);
      break;
    }
    default: Mp3_GetVersion(h); break;
  }
}

void RunThread(const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    const int slot = op.where & 1;
    if (op.kind % 20 == 1) {
      Destroy(slot, false, op.value);
      continue;
    }
    if (op.kind % 20 == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(100 * (op.a % 20)));
      continue;
    }
    std::shared_lock<std::shared_timed_mutex> lease(leases[slot]);
    Execute(op, players[slot].load(), slot, false);
  }
}

void EndInput() {
  {
    std::lock_guard<std::mutex> hold(armed_lock);
    for (auto& list : armed) list.clear();
  }
  for (int slot = 0; slot < kSlots; ++slot) Destroy(slot, false, 0);
  ExpectPlayerThreadsGone("fuzz_threads");
  std::lock_guard<std::mutex> hold(armed_lock);
  pushed.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BaselineThreads();  // the silent device, started before the first player
  if (mp3_path.empty()) mp3_path = "/tmp/fuzz_threads_" + std::to_string(getpid()) + ".mp3";
  InputBytes input(data, size);
  const unsigned threads = 2 + input.Byte() % (kMaxThreads - 1);
  const unsigned count = input.Byte() % (kMaxOps + 1);
  std::vector<std::vector<Op>> plans(threads);
  for (unsigned i = 0; i < count; ++i) {
    Op op{};
    op.thread = input.Byte();
    op.kind = input.Byte();
    op.where = input.Byte();
    op.a = input.Byte();
    op.b = input.Byte();
    op.value = input.Byte() | uint32_t(input.Byte()) << 8 | uint32_t(input.Byte()) << 16;
    plans[op.thread % threads].push_back(op);
  }
  mp3 = input.Block(input.left(), &mp3_size);
  {
    std::ofstream file(mp3_path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(mp3), std::streamsize(mp3_size));
  }
  callback_ops = 0;
  for (int slot = 0; slot < kSlots; ++slot) Create(slot, 0x3FFu);
  std::vector<std::thread> running;
  for (const std::vector<Op>& plan : plans) running.emplace_back(RunThread, std::cref(plan));
  for (std::thread& thread : running) thread.join();
  EndInput();
  return 0;
}
