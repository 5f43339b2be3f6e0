#pragma once
// Wave buffers are shared between the decoding thread, which fills them, and the spectrum and
// VU readers on the caller's thread, which look at the buffer playing now without a lock. A
// reader may see samples of two refills, which is fine for a display, but no sample may tear:
// both sides access the samples as relaxed atomics (plain moves on the machines we run on).
#include <cstdint>
#include <cstring>

namespace dsp {

inline int16_t LoadSharedSample(const void* at) {
  return __atomic_load_n(static_cast<const int16_t*>(at), __ATOMIC_RELAXED);
}

// Copies a finished block into a shared wave buffer, one sample at a time.
inline void PublishPcm(char* to, const char* from, uint32_t bytes) {
  auto* out = reinterpret_cast<int16_t*>(to);
  for (uint32_t i = 0; i < bytes / 2; ++i) {
    int16_t sample;
    std::memcpy(&sample, from + 2 * i, 2);
    __atomic_store_n(&out[i], sample, __ATOMIC_RELAXED);
  }
}

}  // namespace dsp
