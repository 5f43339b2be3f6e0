#include "mp3/dsp/echo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace dsp {
namespace {

#define Z5 0, 0, 0, 0, 0
#define Z10 Z5, Z5
// Percent; divided by 100 when the table is built.
constexpr double kEchoPresetPercent[kEchoModes][2 * kEchoTaps] = {
    {50, 20, 10, Z10, Z5, 0, 0, 50, 20, 10, Z10, Z5, 0, 0},
    {20, 30, 20, 10, 5, Z10, Z5, 20, 30, 20, 10, 5, Z10, Z5},
    {50, 30, 10, 30, 20, 10, 20, 10, 30, 20, 10, 10, 5, 3, 20, 10, 5, 10, 2, 1,
     50, 30, 10, 30, 20, 10, 20, 10, 30, 20, 10, 10, 5, 3, 20, 10, 5, 10, 2, 1},
    {50, 30, 20, 10, 5, Z10, 20, 15, 10, 7, 5, 0, 0, 50, 30, 20, 10, 5, Z10, 20, 15, 2},
    {50, 30, 20, 10, 5, Z10, 20, 15, 10, 7, 5, 50, 10, Z5, 0, 0, 50, 20, 10, Z5, 30, 20, 4},
    {50, 20, 10, Z10, 0, 0, 0, 0, 30, 20, 10, 50, 20, 10, Z10, 0, 0, 0, 0, 30, 20, 10},
    {30, 10, 20, 5, 10, 5, 5, 2.5, 10, 5, 10, 5, 10, 1, 5, 1, 10, 1, 10, 1,
     30, 10, 20, 5, 10, 5, 5, 2.5, 10, 5, 10, 5, 10, 1, 5, 1, 10, 1, 10, 1},
    {50, 40, 20, 10, 2.5, Z10, 30, 20, 10, 5, 1, 0, 0, 0, 50, 20, 10, 5, Z5, 0, 0, 0, 0, 30, 20, 5, 1},
    {50, 30, 20, 10, 5, 2.5, 1.7, 0.5, Z5, 0, 0, 0, 0, 10, 5, 2.5,
     50, 30, 20, 10, 5, 2.5, 1.7, 0.5, Z5, 0, 0, 0, 0, 10, 5, 2.5},
    {50, 20, 10, 30, 20, 10, 20, 10, 5, 10, 5, 2.5, 10, 5, 5, 2.5, 10, 5, 2.5, 1,
     50, 20, 10, 30, 20, 10, 20, 10, 5, 10, 5, 2.5, 10, 5, 5, 2.5, 10, 5, 2.5, 1},
};
#undef Z10
#undef Z5

// Constant-initialised: players are constructed during static initialisation, possibly
// before any dynamic initialiser of this file has run.
constexpr EchoPresetArray MakePresetTable() {
  EchoPresetArray table{};
  for (int m = 0; m < kEchoModes; ++m)
    for (int t = 0; t < 2 * kEchoTaps; ++t) table[m][t] = kEchoPresetPercent[m][t] / 100;
  return table;
}

void FreeHistory(EchoProcessor* echo) {
  for (int i = 0; i < kEchoHistory; ++i) {
    echo->chunks[i] = {};
    echo->ring[i] = nullptr;
  }
  echo->allocated_size = 0;
}

void LoadWeights(EchoProcessor* echo, int mode) {
  std::copy_n(EchoPresetTable[mode].data(), kEchoTaps, echo->left_weights);
  std::copy_n(EchoPresetTable[mode].data() + kEchoTaps, kEchoTaps, echo->right_weights);
  echo->mode = mode;
}

int16_t ClampToSample(double v) {
  // Clamp before the conversion: truncating an out-of-range double is undefined.
  if (v >= 32767.0) return 32767;
  if (v <= -32768.0) return -32768;
  return static_cast<int16_t>(v);
}

}  // namespace

constinit EchoPresetArray EchoPresetTable = MakePresetTable();

EchoProcessor::EchoProcessor() { LoadWeights(this, 0); }

int AllocEchoHistory(EchoProcessor* echo, std::string* error) {
  std::lock_guard<std::recursive_mutex> hold(echo->lock);
  if (echo->allocated_size == echo->chunk_size && echo->allocated_size > 0) return 1;
  FreeHistory(echo);
  if (echo->chunk_size <= 0) {
    // No stream yet: nothing to size the chunks by; _Open allocates them.
    return 1;
  }
  // Whole samples only; the odd byte of an odd size would never be processed.
  const size_t samples = static_cast<size_t>(echo->chunk_size) / 2;
  try {
    for (int i = 0; i < kEchoHistory; ++i) {
      echo->chunks[i].assign(samples, 0);
      echo->ring[i] = echo->chunks[i].data();
    }
  } catch (const std::bad_alloc&) {
    FreeHistory(echo);
    if (error) *error = "Can't allocate buffers for SFX processor!";
    return 0;
  }
  echo->allocated_size = echo->chunk_size;
  return 1;
}

void ClearEchoHistory(EchoProcessor* echo) {
  std::lock_guard<std::recursive_mutex> hold(echo->lock);
  for (auto& c : echo->chunks) std::fill(c.begin(), c.end(), int16_t{0});
}

int SetSfxParam(EchoProcessor* echo, int enable, int mode, int delay_ms, int input_gain, int echo_gain, int output_gain,
                std::string* error) {
  echo->enabled.store(0, std::memory_order_release);
  std::lock_guard<std::recursive_mutex> hold(echo->lock);
  delay_ms = std::clamp(delay_ms, 0, 1000);
  mode = std::clamp(mode, 0, kEchoModes - 1);
  LoadWeights(echo, mode);
  if (enable) {
    if (!AllocEchoHistory(echo, nullptr)) {
      if (error) *error = "SetSfxParam->Can't reallocate sfx buffers !";
      return 0;
    }
    echo->input_gain = input_gain;
    echo->echo_gain = echo_gain;
    echo->output_gain = output_gain;
    echo->delay_ms = delay_ms;
    echo->dry = std::pow(10.0, (static_cast<double>(input_gain) + output_gain) / 20.0);
    echo->wet = std::pow(10.0, (static_cast<double>(echo_gain) + output_gain) / 20.0);
    echo->delay_index = delay_ms * 20 / 1000;
    ClearEchoHistory(echo);
    echo->enabled.store(1, std::memory_order_release);
  } else {
    FreeHistory(echo);
  }
  return 1;
}

int GetSfxParam(const EchoProcessor& echo, int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain,
                std::string* error) {
  if (!mode || !delay_ms || !input_gain || !echo_gain || !output_gain) {
    if (error) *error = "GetSfxParam->Invalid parameters !";
    return 0;
  }
  *mode = echo.mode;
  *delay_ms = echo.delay_ms;
  *input_gain = echo.input_gain;
  *echo_gain = echo.echo_gain;
  *output_gain = echo.output_gain;
  return 1;
}

int SetSfxModeData(EchoProcessor* echo, int mode, const int* left, const int* right, int weight_count,
                   std::string* error) {
  if (left == nullptr || right == nullptr || weight_count != kEchoTaps || mode < 0 || mode >= kEchoModes) {
    if (error) *error = "SetSfxModeData->Invalid parameters !";
    return 0;
  }
  for (int t = 0; t < kEchoTaps; ++t) {
    EchoPresetTable[mode][t] = left[t] / 100.0;
    EchoPresetTable[mode][kEchoTaps + t] = right[t] / 100.0;
  }
  if (echo->enabled.load(std::memory_order_acquire) && mode == echo->mode)
    return SetSfxParam(echo, 1, echo->mode, echo->delay_ms, echo->input_gain, echo->echo_gain, echo->output_gain,
                       error);
  return 1;
}

int GetSfxModeData(int mode, int* left, int* right) {
  if (mode < 0 || mode >= kEchoModes) return 0;
  if (left != nullptr && right != nullptr) {
    for (int t = 0; t < kEchoTaps; ++t) {
      // Truncated percent; the tiny bias keeps 29 % (0.29 * 100 = 28.999...) at 29.
      left[t] = static_cast<int>(EchoPresetTable[mode][t] * 100 + 1e-9);
      right[t] = static_cast<int>(EchoPresetTable[mode][kEchoTaps + t] * 100 + 1e-9);
    }
  }
  return kEchoTaps;
}

int EchoStreamOpened(EchoProcessor* echo, int32_t block_bytes, std::string* error) {
  std::lock_guard<std::recursive_mutex> hold(echo->lock);
  echo->chunk_size = block_bytes / 2 + 2;
  LoadWeights(echo, echo->mode);
  if (echo->enabled.load(std::memory_order_acquire) && !AllocEchoHistory(echo, nullptr)) {
    echo->enabled.store(0, std::memory_order_release);
    if (error) *error = "_Open->Can't allocate echo buffer";
    return 0;
  }
  return 1;
}

void EchoProcessChunk(EchoProcessor* echo, int16_t* samples, int32_t bytes) {
  if (echo->allocated_size <= 0 || samples == nullptr || bytes <= 0) return;
  // Rotate: the oldest chunk becomes the newest.
  std::rotate(echo->ring, echo->ring + kEchoHistory - 1, echo->ring + kEchoHistory);

  const int32_t usable = std::min(bytes, echo->allocated_size);
  const int frames = usable / 4;
  const int count = frames * 2;
  for (int i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(samples[i] / 2);
  std::memcpy(echo->ring[0], samples, sizeof(int16_t) * static_cast<size_t>(count));

  const int d = echo->delay_index;
  for (int f = 0; f < frames; ++f) {
    double echo_left = 0, echo_right = 0;
    for (int j = 0; j < kEchoTaps; ++j) {
      const int16_t* entry = echo->ring[j + d];
      if (echo->left_weights[j] != 0) echo_left += echo->left_weights[j] * entry[2 * f];
      if (echo->right_weights[j] != 0) echo_right += echo->right_weights[j] * entry[2 * f + 1];
    }
    samples[2 * f] = ClampToSample(samples[2 * f] * echo->dry + echo->wet * echo_left);
    samples[2 * f + 1] = ClampToSample(echo->wet * echo_right + samples[2 * f + 1] * echo->dry);
  }
}

void EchoProcessBlock(EchoProcessor* echo, int16_t* samples, int32_t bytes) {
  if (samples == nullptr || bytes <= 0) return;
  std::lock_guard<std::recursive_mutex> hold(echo->lock);
  const int32_t first = (bytes / 2) & ~3;
  EchoProcessChunk(echo, samples, first);
  EchoProcessChunk(echo, samples + first / 2, bytes - first);
}

}  // namespace dsp
