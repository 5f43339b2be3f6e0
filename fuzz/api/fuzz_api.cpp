// Whole call sequences over the flat Mp3_ functions. Input layout:
//   [operation count] [operations of 10 bytes each] [an MP3 stream]
// An operation is: kind, where, trigger, three small arguments a b c, and a 32-bit value.
// `where` picks the player (bit 0; two players at most) and who calls: this thread now, a null
// handle, or the player's callback, armed to run the operation inside the first message that
// matches `trigger` (either thread's messages, asynchronous and synchronous ones). Arguments
// include null pointers, out-of-range indices, modes and formats, huge sizes, and buffers of
// the exact size the call may touch (so an overrun by one is caught). The stream is opened from
// memory (resource, stream, pushed blocks) and from a temporary file, mostly in the no-output
// mode. At the end every player is destroyed and the run waits until every thread the players
// started has ended: a thread left running, like a hang, is a finding.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "fuzz/common/input_bytes.h"
#include "fuzz/common/mp3_time.h"
#include "fuzz/common/player_threads.h"
#include "platform/audio.h"
#include "platform/files.h"

namespace {

struct Op {
  uint8_t kind, where, trigger, a, b, c;
  uint32_t value;
};

constexpr int kSlots = 2;
constexpr unsigned kMaxOps = 32;
constexpr unsigned kCallbackBudget = 12;  // operations run inside callbacks per input

constexpr uint32_t kTriggers[] = {MP3_EVENT_STOP,
                                  MP3_EVENT_PLAY,
                                  MP3_EVENT_ENTER_LOOP,
                                  MP3_EVENT_EXIT_LOOP,
                                  MP3_EVENT_FADE_OUT_END,
                                  MP3_EVENT_FADE_IN_START,
                                  MP3_EVENT_STREAM_NEED_MORE_DATA,
                                  MP3_EVENT_SYNC_STOP,
                                  MP3_EVENT_SYNC_PLAY,
                                  MP3_EVENT_SYNC_ENTER_LOOP,
                                  MP3_EVENT_SYNC_EXIT_LOOP,
                                  MP3_EVENT_SYNC_FADE_OUT_END,
                                  MP3_EVENT_WAVE_BUFFER,
                                  MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA,
                                  0xFFFFFFFFu};

// Every call on a player is made with this lock held, but for Play and PlayLoop from this
// thread, whose wait for the start may meet any callback. A callback takes it only for an
// armed operation, and gives up after a few ms: the call holding it may be waiting for that
// very callback.
std::recursive_timed_mutex api_lock;
std::atomic<MP3_HANDLE> players[kSlots];
std::atomic<uint32_t> answers[kSlots];
std::atomic<int> main_starting{-1};  // the player this thread is inside Play or PlayLoop of
std::mutex armed_lock;
std::vector<Op> armed[kSlots];
unsigned callback_ops = 0;
std::vector<std::unique_ptr<uint8_t[]>> pushed;  // blocks given to the players, freed at the end
const uint8_t* mp3 = nullptr;
size_t mp3_size = 0;
std::string mp3_path;
// FUZZ_API_TRACE=1 prints each operation as it runs (to replay a finding).
const bool trace = std::getenv("FUZZ_API_TRACE") != nullptr;
thread_local bool in_callback = false;

// Heap blocks of the exact size asked for, freed with the operation.
template <typename T>
std::unique_ptr<T[]> Exact(size_t count) {
  return count ? std::unique_ptr<T[]>(new T[count]()) : nullptr;
}

int Format(uint8_t code) {
  static constexpr int kFormats[] = {TIME_FORMAT_MS, TIME_FORMAT_SEC, TIME_FORMAT_HMS, TIME_FORMAT_BYTES, 16, 0, -1, 3};
  return kFormats[code % 8];
}

int Method(uint8_t code) {
  static constexpr int kMethods[] = {MOVE_FROM_START, MOVE_FROM_END, MOVE_FORWARD, MOVE_BACKWARD, 0, 3, -1};
  return kMethods[code % 7];
}

int BufferMs(uint8_t code) {
  if (code < 200) return 0;  // the no-output mode, most of the time
  static constexpr int kOthers[] = {200, 199, -1, 1000, 0x7FFFFFFF, 1, 250};
  return kOthers[code % 7];
}

unsigned Size(uint8_t code, uint32_t value) {
  if (code < 0xF0) return value % (mp3_size + 64);
  static constexpr unsigned kHuge[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0xFFFFFFF0u};
  return kHuge[code % 4];
}

template <int slot>
int32_t Callback(uint32_t message, intptr_t wparam, intptr_t lparam);
MP3_CALLBACK_FUNC CallbackOf(int slot) { return slot ? &Callback<1> : &Callback<0>; }

unsigned Mask(uint32_t value) {
  // The wave-buffer message keeps the no-output mode flowing; bit 31 leaves it out.
  return (value & 0x7FFFFFFFu) | ((value >> 31) ? 0u : MP3_EVENT_WAVE_BUFFER);
}

void Execute(const Op& op, int slot, MP3_HANDLE h);

// What the callback answers: WAVE_BUFFER blocks are read whole (their claimed size must hold).
int32_t Answer(int slot, uint32_t message, intptr_t wparam, intptr_t lparam) {
  const uint32_t bits = answers[slot].load();
  if (message == MP3_EVENT_WAVE_BUFFER) {
    const auto* block = reinterpret_cast<const volatile uint8_t*>(wparam);
    if (block && lparam > 0) {
      uint8_t sum = 0;
      for (intptr_t i = 0; i < lparam; i += 997) sum ^= block[i];
      sum ^= block[lparam - 1];
      (void)sum;
    }
    return (bits & 0xFF) == 0xFE ? 2 : 1;
  }
  if (message < 0x10000) return 0;
  const uint32_t turn = (message >> 16) + (bits >> 28);
  const int32_t answer = int32_t((bits >> (2 * (turn % 14))) & 3);
  return answer == 3 ? 1 : answer;
}

bool TakeArmed(int slot, uint32_t message, Op* out) {
  std::lock_guard<std::mutex> hold(armed_lock);
  std::vector<Op>& list = armed[slot];
  for (size_t i = 0; i < list.size(); ++i) {
    const uint32_t trigger = kTriggers[list[i].trigger % (sizeof kTriggers / sizeof kTriggers[0])];
    if (!(trigger & message) || callback_ops >= kCallbackBudget) continue;
    *out = list[i];
    list.erase(list.begin() + long(i));
    ++callback_ops;
    return true;
  }
  return false;
}

template <int slot>
int32_t Callback(uint32_t message, intptr_t wparam, intptr_t lparam) {
  const int32_t answer = Answer(slot, message, wparam, lparam);
  Op op{};
  if (!TakeArmed(slot, message, &op)) return answer;
  if (!api_lock.try_lock_for(std::chrono::milliseconds(3))) return answer;
  const int target = op.where & 1;
  // Another thread than this player's own is inside that player's Play: leave it alone.
  if (target == slot || main_starting.load() != target) {
    const bool outer = in_callback;
    in_callback = true;
    Execute(op, target, players[target].load());
    in_callback = outer;
  }
  api_lock.unlock();
  return answer;
}

int OpenResource(MP3_HANDLE h, const Op& op) {
  const char* name = op.c & 1 ? "FUZZ" : (op.c & 2 ? nullptr : "NONE");
  const char* type = op.c & 4 ? nullptr : "MP3";
  return Mp3_OpenResource(h, nullptr, name, type, BufferMs(op.a), op.b & 1 ? op.value % 512 : 0,
                          op.b & 2 ? Size(op.c, op.value) : 0);
}

int OpenStream(MP3_HANDLE h, const Op& op) {
  const unsigned size = Size(op.c, op.value);
  const void* data = op.b & 4 ? nullptr : (size <= mp3_size ? mp3 : nullptr);
  return Mp3_OpenStream(h, op.b & 1, (op.b >> 1) & 1, data, data ? size : (op.b & 8 ? size : 0), BufferMs(op.a));
}

int Push(MP3_HANDLE h, const Op& op) {
  if (op.c >= 0xF0) return Mp3_PushDataToStream(h, nullptr, Size(op.c, op.value));
  const size_t from = mp3_size ? op.value % mp3_size : 0;
  size_t size = size_t(op.a) * 64 + op.b;
  if (size > mp3_size - from) size = mp3_size - from;
  auto block = Exact<uint8_t>(size);
  if (size) std::memcpy(block.get(), mp3 + from, size);
  const int result = Mp3_PushDataToStream(h, block.get(), unsigned(size));
  if (op.c & 1) Mp3_IsStreamDataFree(h, block.get());
  {
    std::lock_guard<std::mutex> hold(armed_lock);
    pushed.push_back(std::move(block));
  }
  return result;
}

void Getters(MP3_HANDLE h, const Op& op) {
  const bool null = op.c & 1;
  MP3_TIME time{};
  MP3_STATUS status{};
  MP3_STREAM_INFO info{};
  STREAM_LOAD_INFO load{};
  int left = 0, right = 0;
  unsigned vu_left = 0, vu_right = 0;
  switch (op.a % 10) {
    case 0: Mp3_GetPosition(h, null ? nullptr : &time); break;
    case 1: Mp3_GetStatus(h, null ? nullptr : &status); break;
    case 2: Mp3_GetMp3Info(h, null ? nullptr : &info); break;
    case 3: Mp3_GetSongLength(h, null ? nullptr : &time); break;
    case 4: Mp3_GetBitrate(h, op.b & 1); break;
    case 5: Mp3_GetStreamLoad(h, null ? nullptr : &load); break;
    case 6: Mp3_GetVUData(h, null ? nullptr : &vu_left, op.c & 2 ? nullptr : &vu_right); break;
    case 7: Mp3_GetVolume(h, null ? nullptr : &left, op.c & 2 ? nullptr : &right); break;
    case 8: Mp3_GetMasterVolume(h, null ? nullptr : &left, op.c & 2 ? nullptr : &right); break;
    default: Mp3_GetPlayerVolume(h, null ? nullptr : &left, op.c & 2 ? nullptr : &right); break;
  }
}

void Texts(MP3_HANDLE h, const Op& op) {
  const int size = op.c < 0xF0 ? op.c % 40 : -int(op.c);
  auto buffer = Exact<char>(size > 0 ? size_t(size) : 0);
  char* text = op.b & 1 ? nullptr : buffer.get();
  switch (op.a % 4) {
    case 0: Mp3_GetError(h, text, size); break;
    case 1: Mp3_GetID3Field(h, int(op.value & 7), int(1u << ((op.value >> 8) % 9)) - (op.b & 2), text, size); break;
    case 2: {
      MP3_ID3_FIELDS fields{};
      if (Mp3_LoadID3(h, int(op.value & 7), op.b & 2 ? nullptr : &fields) && fields.title) {
        volatile size_t n = std::strlen(fields.title);
        (void)n;
      }
      break;
    }
    default: Mp3_GetVersion(h); break;
  }
}

void Equalizer(MP3_HANDLE h, const Op& op) {
  const bool fft = op.b & 1;
  const int preamp = int(int8_t(op.value >> 24)) * (op.b & 2 ? 1000 : 1);
  switch (op.a % 6) {
    case 0: Mp3_EnableEQ(h, op.c & 1, fft); break;
    case 1: {
      const int count = op.c < 0xF0 ? op.c % 24 : int(0x80000000u >> (op.c & 7));
      auto edges = Exact<int>(count > 0 && count < 24 ? size_t(count) : 0);
      for (int i = 0; edges && i < count; ++i)
        edges[i] = int((op.value >> (i % 24)) % 25000) * (i & 1 ? 1 : -1 + 2 * (i != 3));
      Mp3_CreateEqBands(h, op.b & 4 ? nullptr : edges.get(), count);
      break;
    }
    case 2: {
      const int edges = Mp3_GetEqBands(h, nullptr);
      auto out = Exact<int>(edges > 0 ? size_t(edges) : 0);
      Mp3_GetEqBands(h, out.get());
      break;
    }
    case 3:
    case 4: {
      // The subband side always reads its 32 gains; the FFT side as many as it is told.
      const int bands = fft ? Mp3_GetEQParam(h, 1, nullptr, nullptr) : 32;
      const int count = fft ? (op.c < 0xF0 ? op.c % 40 : -1) : 32;
      const size_t real = size_t(count > 0 ? (fft ? count : 32) : 0);
      auto gains = Exact<int>(real);
      for (size_t i = 0; i < real; ++i) gains[i] = int((op.value >> (i % 20)) - 0x40000000u);
      (void)bands;
      if (op.a % 6 == 3)
        Mp3_SetEQParam(h, fft, preamp, op.b & 4 ? nullptr : gains.get(), count);
      else
        Mp3_SetEQParamEx(h, fft, preamp, op.b & 4 ? nullptr : gains.get(), count);
      break;
    }
    default: {
      const int bands = Mp3_GetEQParam(h, fft, nullptr, nullptr);
      auto gains = Exact<int>(bands > 0 ? size_t(bands) : 0);
      int pre = 0;
      if (op.c & 1)
        Mp3_GetEQParamEx(h, fft, op.b & 4 ? nullptr : &pre, gains.get());
      else
        Mp3_GetEQParam(h, fft, op.b & 4 ? nullptr : &pre, gains.get());
      break;
    }
  }
}

void Echo(MP3_HANDLE h, const Op& op) {
  const int mode = int(op.c % 14) - 2;
  switch (op.a % 4) {
    case 0:
      Mp3_SetSfxParam(h, op.b & 1, mode, int(op.value % 3000) - (op.b & 2 ? 0x40000000 : 0), int8_t(op.value >> 8),
                      int8_t(op.value >> 16), int(uint32_t(op.value >> 24) * (op.b & 4 ? 0x1000000u : 1u)));
      break;
    case 1: {
      int m = 0, d = 0, i = 0, e = 0, o = 0;
      Mp3_GetSfxParam(h, op.b & 1 ? nullptr : &m, &d, op.b & 2 ? nullptr : &i, &e, &o);
      break;
    }
    case 2: {
      const int count = op.b < 0xF0 ? op.b % 30 : -1;
      auto left = Exact<int>(count > 0 ? size_t(count) : 0), right = Exact<int>(count > 0 ? size_t(count) : 0);
      for (int t = 0; t < count; ++t) left[t] = right[t] = int(op.value >> (t % 24)) % 300 - 100;
      Mp3_SetSfxModeData(h, mode, left.get(), op.value & 1 ? nullptr : right.get(), count);
      break;
    }
    default: {
      const int taps = Mp3_GetSfxModeData(h, mode, nullptr, nullptr);
      auto left = Exact<int>(taps > 0 ? size_t(taps) : 0), right = Exact<int>(taps > 0 ? size_t(taps) : 0);
      Mp3_GetSfxModeData(h, mode, left.get(), op.b & 1 ? nullptr : right.get());
      break;
    }
  }
}

void Spectrum(MP3_HANDLE h, const Op& op) {
  static constexpr int kPoints[] = {512, 1024, 2048, 4096, 8192, 16384, 32, 0, -2, 3, 511, 0x7FFFFFFF};
  const int points = kPoints[op.a % 12];
  const size_t harmonics = points > 0 && points <= 16384 ? size_t(points / 2 + 1) : 0;
  auto freqs = Exact<int>(harmonics), la = Exact<int>(harmonics), ra = Exact<int>(harmonics);
  auto lp = Exact<int>(harmonics), rp = Exact<int>(harmonics);
  int count = 0;
  Mp3_GetFFTValues(h, points, int(op.b % 16), int(op.c), op.value & 1 ? nullptr : &count, freqs.get(), la.get(),
                   ra.get(), lp.get(), rp.get());
}

void Devices(MP3_HANDLE h, const Op& op) {
  WAVE_OUT_INFO info{};
  const unsigned index = op.b < 0xF0 ? op.b % 4 : (op.b & 1 ? WAVE_MAPPER : 0x80000000u);
  switch (op.a % 3) {
    case 0: Mp3_EnumerateWaveOut(h); break;
    case 1: Mp3_GetWaveOutInfo(h, index, op.c & 1 ? nullptr : &info); break;
    default: Mp3_SetWaveOutDevice(h, index); break;
  }
}

void Effects(MP3_HANDLE h, const Op& op) {
  const unsigned left = op.c & 1 ? op.value : op.value % 101, right = op.c & 2 ? op.value >> 8 : (op.value >> 8) % 101;
  switch (op.a % 9) {
    case 0: Mp3_SetVolume(h, left, right); break;
    case 1: Mp3_SetMasterVolume(h, left, right); break;
    case 2: Mp3_SetPlayerVolume(h, left, right); break;
    case 3: Mp3_InternalVolume(h, op.b & 1); break;
    case 4: Mp3_MixChannels(h, op.b & 1, left, right); break;
    case 5: Mp3_VocalCut(h, op.b & 1); break;
    case 6:
    case 7: {
      MP3_TIME time = TimeOf(op.c & 4 ? op.value : op.value % 3000);
      const int mode = op.b % 4;
      if (op.a % 9 == 6)
        Mp3_FadeVolume(h, mode, Format(op.c >> 3), op.b & 4 ? nullptr : &time);
      else
        Mp3_FadeVolumeEx(h, mode, Format(op.c >> 3), op.b & 4 ? nullptr : &time);
      break;
    }
    default: Mp3_ReverseMode(h, op.b & 1); break;
  }
}

void Create(int slot, const Op& op) {
  if (players[slot].load()) return;
  MP3_HANDLE h = op.a & 1 ? CreateRUVe3() : Mp3_Initialize();
  players[slot] = h;
  answers[slot] = op.value;
  if (!(op.b & 1)) Mp3_SetCallbackFunc(h, CallbackOf(slot), Mask(op.value));
}

void Execute(const Op& op, int slot, MP3_HANDLE h) {
  if (trace)
    std::fprintf(stderr, "%s player %d%s: kind %d a %d b %d c %d value %08x\n", in_callback ? "callback" : "main", slot,
                 h ? "" : " (null)", op.kind % 24, op.a, op.b, op.c, op.value);
  switch (op.kind % 24) {
    case 0: Create(slot, op); break;
    case 1:
      Mp3_Destroy(h);
      if (h) players[slot] = nullptr;
      break;
    case 2: OpenResource(h, op); break;
    case 3: OpenStream(h, op); break;
    case 4:
      Mp3_OpenFile(h, op.c & 1 ? "/nonexistent/x.mp3" : (op.c & 2 ? nullptr : mp3_path.c_str()), BufferMs(op.a),
                   op.b & 1 ? op.value % 512 : 0, op.b & 2 ? Size(op.c, op.value) : 0);
      break;
    case 5: Mp3_Close(h); break;
    case 6: Mp3_Play(h); break;
    case 7: {
      MP3_TIME start = TimeOf(op.value % 2000), end = TimeOf(op.value % 2000 + op.c * 13u);
      Mp3_PlayLoop(h, Format(op.a), op.b & 1 ? nullptr : &start, Format(op.a >> 3), op.b & 2 ? nullptr : &end,
                   int(op.b >> 2) - 4);
      break;
    }
    case 8: {
      MP3_TIME time = TimeOf(op.c & 1 ? op.value : op.value % 3000);
      Mp3_Seek(h, Format(op.a), op.b & 1 ? nullptr : &time, Method(op.b >> 1));
      break;
    }
    case 9: Mp3_Stop(h); break;
    case 10: Mp3_Pause(h); break;
    case 11: Mp3_Resume(h); break;
    case 12: Getters(h, op); break;
    case 13: Texts(h, op); break;
    case 14: Equalizer(h, op); break;
    case 15: Echo(h, op); break;
    case 16: Spectrum(h, op); break;
    case 17: Devices(h, op); break;
    case 18: Effects(h, op); break;
    case 19: Push(h, op); break;
    case 20:
      // Another callback, none at all, or the same again.
      Mp3_SetCallbackFunc(h, op.b & 1 ? nullptr : CallbackOf(op.b & 2 ? slot : 1 - slot), Mask(op.value));
      if (h) answers[slot] = op.value;
      break;
    case 21: answers[slot] = op.value; break;
    default: {
      MP3_TIME time{};
      Mp3_GetPosition(h, &time);
      break;
    }
  }
}

// Up to `ms` ms while the player plays (a few ms at most per input).
void WaitAWhile(int slot, unsigned ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard<std::recursive_timed_mutex> hold(api_lock);
      MP3_STATUS status{};
      MP3_HANDLE h = players[slot].load();
      if (!h || !Mp3_GetStatus(h, &status) || (!status.playing && !status.paused)) return;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
}

void RunOnMain(const Op& op) {
  const int slot = op.where & 1;
  const unsigned mode = (op.where >> 1) & 7;
  if (mode == 5) {
    std::lock_guard<std::mutex> hold(armed_lock);
    armed[slot].push_back(op);
    return;
  }
  if (mode == 6) {
    WaitAWhile(slot, 1 + op.c % 8);
    return;
  }
  const bool starts = op.kind % 24 == 6 || op.kind % 24 == 7;
  if (starts && mode != 7) {
    // Play and PlayLoop wait for the run's start: callbacks may act meanwhile.
    MP3_HANDLE h;
    {
      std::lock_guard<std::recursive_timed_mutex> hold(api_lock);
      h = players[slot].load();
      main_starting = slot;
    }
    Execute(op, slot, h);
    main_starting = -1;
    return;
  }
  std::lock_guard<std::recursive_timed_mutex> hold(api_lock);
  Execute(op, slot, mode == 7 ? nullptr : players[slot].load());
}

// Every player goes; then every thread they started must end within a second.
void EndInput() {
  {
    std::lock_guard<std::mutex> hold(armed_lock);
    for (auto& list : armed) list.clear();
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    std::lock_guard<std::recursive_timed_mutex> hold(api_lock);
    MP3_HANDLE h = players[slot].exchange(nullptr);
    if (h) Mp3_Destroy(h);
  }
  ExpectPlayerThreadsGone("fuzz_api");
  std::lock_guard<std::mutex> hold(armed_lock);
  pushed.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BaselineThreads();  // the silent device, started before the first player
  if (mp3_path.empty()) mp3_path = "/tmp/fuzz_api_" + std::to_string(getpid()) + ".mp3";
  InputBytes input(data, size);
  const unsigned count = input.Byte() % (kMaxOps + 1);
  std::vector<Op> ops(count);
  for (Op& op : ops) {
    op.kind = input.Byte();
    op.where = input.Byte();
    op.trigger = input.Byte();
    op.a = input.Byte();
    op.b = input.Byte();
    op.c = input.Byte();
    op.value = input.U32();
  }
  mp3 = input.Block(input.left(), &mp3_size);
  {
    std::ofstream file(mp3_path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(mp3), std::streamsize(mp3_size));
  }
  platform::RegisterResource("FUZZ", "MP3", mp3, mp3_size);
  callback_ops = 0;
  for (const Op& op : ops) RunOnMain(op);
  EndInput();
  platform::UnregisterResource("FUZZ", "MP3");
  return 0;
}
