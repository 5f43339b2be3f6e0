#include "tests/support/signal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace test_support {

double Rms(const int16_t* samples, size_t from, size_t count, size_t stride) {
  if (count == 0 || stride == 0) return 0;
  double sum = 0;
  size_t n = 0;
  for (size_t i = from; n < count; i += stride, ++n) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(count));
}

double Rms(const std::vector<double>& samples) {
  if (samples.empty()) return 0;
  double sum = 0;
  for (double s : samples) sum += s * s;
  return std::sqrt(sum / double(samples.size()));
}

double SnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& test) {
  const size_t n = std::min(reference.size(), test.size());
  double signal = 0, noise = 0;
  for (size_t i = 0; i < n; ++i) {
    const double d = double(reference[i]) - test[i];
    signal += double(reference[i]) * reference[i];
    noise += d * d;
  }
  if (noise == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(signal / noise);
}

}  // namespace test_support
