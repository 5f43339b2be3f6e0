#pragma once
// Measuring mixed output in the audio engine's and the sound suites: pulling frames from the
// headless engine, and simple signal figures (level, correlation, pitch).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/support/signal.h"

namespace audio_test {

// The backend a test process runs on: headless, unless this process is the child that the SDL
// fallback test starts (JED_AUDIO_TEST_SDL=1).
inline bool IsSdlChild() {
  const char* flag = std::getenv("JED_AUDIO_TEST_SDL");
  return flag && flag[0] == '1';
}
inline bool ChooseTestBackend() {
  return platform::SelectBackend(IsSdlChild() ? platform::Backend::Sdl : platform::Backend::Headless) && !IsSdlChild();
}

// Interleaved stereo frames pulled from the headless engine.
inline std::vector<int16_t> Pull(size_t frames) {
  std::vector<int16_t> out(frames * 2);
  platform::AudioPull(out.data(), frames);
  return out;
}

// One channel (0 left, 1 right) of interleaved stereo.
inline std::vector<double> Channel(const std::vector<int16_t>& stereo, int channel) {
  std::vector<double> out(stereo.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = stereo[2 * i + channel];
  return out;
}

using test_support::Rms;

inline double Decibels(double ratio) { return 20.0 * std::log10(ratio); }

// Normalised correlation of two equally long signals (1 means the same shape).
inline double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    ab += a[i] * b[i];
    aa += a[i] * a[i];
    bb += b[i] * b[i];
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// Pitch from upward zero crossings over the signal's length at the output rate.
inline double FrequencyOf(const std::vector<double>& x) {
  int crossings = 0;
  for (size_t i = 1; i < x.size(); ++i)
    if (x[i - 1] < 0 && x[i] >= 0) ++crossings;
  return crossings * double(platform::kAudioOutputRate) / x.size();
}

// Index one past the last non-silent sample.
inline size_t SoundingLength(const std::vector<double>& x) {
  size_t end = 0;
  for (size_t i = 0; i < x.size(); ++i)
    if (x[i] != 0) end = i + 1;
  return end;
}

}  // namespace audio_test
