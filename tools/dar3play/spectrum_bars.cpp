#include "tools/dar3play/spectrum_bars.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kLowestHz = 40.0;
constexpr double kHighestHz = 16000.0;
// The dB range shown: quiet music sits near the bottom, a full-scale tone reaches the top.
constexpr double kFloorDb = 30.0;
constexpr double kTopDb = 110.0;
}  // namespace

std::vector<int> LogSpacedBars(const int* freqs, const int* amplitudes, int count, int bar_count, int height) {
  std::vector<int> bars(size_t(std::max(bar_count, 0)), 0);
  if (!freqs || !amplitudes || count < 2 || bar_count <= 0 || height <= 0) return bars;
  const double top = std::min(kHighestHz, double(freqs[count - 1]));
  if (top <= kLowestHz) return bars;
  const double ratio = std::pow(top / kLowestHz, 1.0 / bar_count);
  int bin = 1;
  for (int b = 0; b < bar_count; ++b) {
    const double low = kLowestHz * std::pow(ratio, b);
    const double high = low * ratio;
    while (bin < count - 1 && freqs[bin] < low) ++bin;
    // A band narrower than one harmonic shows the harmonic nearest to it.
    int loudest = amplitudes[std::min(bin, count - 1)];
    for (int i = bin; i < count && freqs[i] < high; ++i) loudest = std::max(loudest, amplitudes[i]);
    const double share = (loudest - kFloorDb) / (kTopDb - kFloorDb);
    bars[size_t(b)] = std::clamp(int(std::lround(share * height)), 0, height);
  }
  return bars;
}
