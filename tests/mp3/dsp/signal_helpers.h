#pragma once
// Test signals shared by the suites.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/support/signal.h"

namespace dsp_test {

// Interleaved 16-bit stereo: a sine on the left and another on the right.
inline std::vector<int16_t> StereoSines(int frames, double left_freq, double left_amp, double right_freq,
                                        double right_amp, double rate, double phase = 0.0) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    s[2 * i] = static_cast<int16_t>(std::lround(left_amp * std::cos(2 * M_PI * left_freq * i / rate - phase)));
    s[2 * i + 1] = static_cast<int16_t>(std::lround(right_amp * std::cos(2 * M_PI * right_freq * i / rate - phase)));
  }
  return s;
}

// Bin k of the transform computed directly in double precision: re = sum x[j] cos(2 pi jk/n),
// im = sum x[j] sin(2 pi jk/n) (the plus sign of the packed layout). The angle is reduced
// exactly first, so large n keeps its precision.
template <typename Sample>
inline void DirectBin(const std::vector<Sample>& x, int k, double* re, double* im) {
  const int n = static_cast<int>(x.size());
  *re = *im = 0;
  for (int j = 0; j < n; ++j) {
    const double angle = 2.0 * M_PI * static_cast<double>((static_cast<int64_t>(j) * k) % n) / n;
    *re += x[j] * std::cos(angle);
    *im += x[j] * std::sin(angle);
  }
}

// RMS of one channel of interleaved stereo over frames [from, to).
inline double ChannelRms(const std::vector<int16_t>& s, int channel, int from, int to) {
  return test_support::Rms(s.data(), 2 * size_t(from) + size_t(channel), size_t(to - from), 2);
}

}  // namespace dsp_test
