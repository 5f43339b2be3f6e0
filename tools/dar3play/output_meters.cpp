#include "tools/dar3play/output_meters.h"

#include <string>

void OutputMeters::Vu(unsigned* left, unsigned* right) const {
  uint32_t l = 0, r = 0;
  output_.Vu(&l, &r);
  *left = l;
  *right = r;
}

bool OutputMeters::Spectrum(int points, int window_type, int* count, int* freqs, int* left, int* right) {
  if (points <= 0) return false;
  output_.SoundingNow(size_t(points), &sounding_);
  const dsp::WaveBufferView buffer{reinterpret_cast<const uint8_t*>(sounding_.data()),
                                   uint32_t(sounding_.size() * sizeof(int16_t)),
                                   uint32_t(sounding_.size() * sizeof(int16_t))};
  dsp::PlaybackView view;
  view.playing = output_.is_open();
  view.sample_rate = output_.rate();
  view.buffers = &buffer;
  view.buffer_count = 1;
  dsp::SpectrumQuery query = dsp::SpectrumQueryFromFlags(
      points, window_type,
      dsp::kFftOutHarmonicCount | dsp::kFftOutHarmonicFreq | dsp::kFftOutLeftAmplitude | dsp::kFftOutRightAmplitude,
      freqs, left, right, nullptr, nullptr);
  std::string error;
  if (!spectrum_.GetValues(&query, view, &error)) return false;
  *count = query.harmonic_count;
  return true;
}
