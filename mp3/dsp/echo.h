#pragma once
// The echo processor: a history of the last 40 processed chunks of 16-bit stereo output, and
// per sample a weighted sum of 20 consecutive history chunks starting a chosen delay back.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace dsp {

constexpr int kEchoModes = 10;
constexpr int kEchoTaps = 20;
constexpr int kEchoHistory = 40;

// Tap weights of the ten modes (fractions: 0.5 is 50 %): entries 0-19 left, 20-39 right.
// Shared by every player; callers may overwrite modes with SetSfxModeData.
using EchoPresetArray = std::array<std::array<double, 2 * kEchoTaps>, kEchoModes>;
extern EchoPresetArray EchoPresetTable;

struct EchoProcessor {
  std::atomic<int32_t> enabled{0};
  int32_t mode = 0;
  int32_t delay_ms = 0;
  int32_t input_gain = 0;  // dB
  int32_t echo_gain = 0;
  int32_t output_gain = 0;
  double left_weights[kEchoTaps] = {};
  double right_weights[kEchoTaps] = {};
  double dry = 1.0;
  double wet = 1.0;
  int32_t delay_index = 0;  // 0..20 chunks
  std::vector<int16_t> chunks[kEchoHistory];
  int16_t* ring[kEchoHistory] = {};  // newest first
  int32_t allocated_size = 0;        // bytes per chunk, 0: none
  int32_t chunk_size = 0;            // bytes: half an output block + 2, set when a stream opens
  // EchoLock: held by the decoding thread around each block and by the setting operations.
  std::recursive_mutex lock;

  EchoProcessor();
};

int SetSfxParam(EchoProcessor* echo, int enable, int mode, int delay_ms, int input_gain, int echo_gain, int output_gain,
                std::string* error);
int GetSfxParam(const EchoProcessor& echo, int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain,
                std::string* error);
int SetSfxModeData(EchoProcessor* echo, int mode, const int* left, const int* right, int weight_count,
                   std::string* error);
int GetSfxModeData(int mode, int* left, int* right);

// _Open: the chunk size for the new stream's blocks; reloads the active weights and
// reallocates the history when the echo is on. 0 with "_Open->Can't allocate echo buffer".
int EchoStreamOpened(EchoProcessor* echo, int32_t block_bytes, std::string* error);

int AllocEchoHistory(EchoProcessor* echo, std::string* error);
void ClearEchoHistory(EchoProcessor* echo);
// Caller holds the lock. At most the allocated chunk size is processed.
void EchoProcessChunk(EchoProcessor* echo, int16_t* samples, int32_t bytes);
// The decoding thread's stage: both halves of an output block under the lock, split on a
// stereo frame boundary.
void EchoProcessBlock(EchoProcessor* echo, int16_t* samples, int32_t bytes);

}  // namespace dsp
