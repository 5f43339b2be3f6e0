#pragma once
// PCM helpers shared by the engine's clients: reading one frame as floats, the resampling step
// and the decibel scale.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/audio.h"

namespace platform::audio {

// Reads the frame at `p` as left/right in [-1, 1). Mono gives the same value on both sides.
inline void ReadFrame(const uint8_t* p, const PcmFormat& format, float* left, float* right) {
  if (format.bits == 8) {
    *left = (static_cast<int>(p[0]) - 128) * (1.0f / 128.0f);
    *right = format.channels == 2 ? (static_cast<int>(p[1]) - 128) * (1.0f / 128.0f) : *left;
  } else {
    auto sample = [](const uint8_t* q) { return static_cast<int16_t>(static_cast<uint16_t>(q[0] | (q[1] << 8))); };
    *left = sample(p) * (1.0f / 32768.0f);
    *right = format.channels == 2 ? sample(p + 2) * (1.0f / 32768.0f) : *left;
  }
}

// Source frames per output frame, 32.32 fixed point (exactly 1.0 at the output rate, so a
// 44100 Hz client passes through bit for bit).
inline uint64_t ResampleStep(uint32_t source_rate) {
  return (static_cast<uint64_t>(source_rate) << 32) / kAudioOutputRate;
}

inline float FixedFraction(uint64_t position) {
  return static_cast<float>(position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
}

// Stores a float mix (full scale 1.0) as 16-bit samples, rounded and clipped.
inline void StoreMix(const float* mix, int16_t* out, size_t samples) {
  for (size_t i = 0; i < samples; ++i) {
    const float value = std::nearbyint(mix[i] * 32768.0f);
    out[i] = static_cast<int16_t>(value < -32768.0f ? -32768.0f : (value > 32767.0f ? 32767.0f : value));
  }
}

// Hundredths of a decibel to a linear factor; -10000 and below is silence.
inline float AttenuationToGain(int32_t hundredths_db) {
  if (hundredths_db <= kSoundVolumeMin) return 0.0f;
  if (hundredths_db >= 0) return 1.0f;
  return std::pow(10.0f, static_cast<float>(hundredths_db) / 2000.0f);
}

}  // namespace platform::audio
