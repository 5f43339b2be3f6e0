// The VU meter and the spectrum of what dar3play's output sounds now: the players decode ahead
// of the ear, so their own meters would run ahead by the output's buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "mp3/dsp/spectrum.h"
#include "tools/dar3play/pcm_output.h"

class OutputMeters {
 public:
  explicit OutputMeters(const PcmOutput& output) : output_(output) {}
  // 0..100 per channel, on the library's scale.
  void Vu(unsigned* left, unsigned* right) const;
  // As Mp3_GetFFTValues: `points` a power of two, the window a WINDOW_ value, arrays of
  // points / 2 + 1 entries (null when not wanted). False for a size the analysis refuses.
  bool Spectrum(int points, int window_type, int* count, int* freqs, int* left, int* right);

 private:
  const PcmOutput& output_;
  dsp::Spectrum spectrum_;
  std::vector<int16_t> sounding_;
};
