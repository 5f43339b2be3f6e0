#pragma once
// Noise-shaped dither of libmad's 28-fraction-bit samples to 16 bits.
#include <cstdint>

struct DitherState {
  int32_t error[3] = {0, 0, 0};
  int32_t random = 0;
};

// Sums wrap as the 32-bit fields they are, without undefined overflow.
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int16_t LinearDither(int32_t sample, DitherState* d) {
  int32_t s = WrapAdd(WrapSub(WrapAdd(sample, d->error[0]), d->error[1]), d->error[2]);
  d->error[2] = d->error[1];
  d->error[1] = d->error[0] / 2;
  int32_t out = WrapAdd(s, 4096);
  const uint32_t r = static_cast<uint32_t>(d->random) * 1664525u + 1013904223u;
  out = WrapSub(WrapAdd(out, static_cast<int32_t>(r & 8191)), d->random & 8191);
  d->random = static_cast<int32_t>(r);
  // A clipped sample feeds back only its quantisation error, not the whole overshoot, which
  // would smear the clipping into the samples after it.
  if (out >= 0x10000000) {
    out = 0x0FFFFFFF;
    if (s > out) s = out;
  } else if (out < -0x10000000) {
    out = -0x10000000;
    if (s < out) s = out;
  }
  out &= ~8191;
  d->error[0] = WrapSub(s, out);
  return static_cast<int16_t>(out >> 13);
}
