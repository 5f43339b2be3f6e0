// Measures of sampled sound shared by the suites: RMS and signal-to-noise ratio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {

// Root mean square of samples [from, from + count) taken every `stride` samples (an
// interleaved channel: stride = channels, from = channel). 0 for no samples.
double Rms(const int16_t* samples, size_t from, size_t count, size_t stride = 1);
inline double Rms(const std::vector<int16_t>& samples) { return Rms(samples.data(), 0, samples.size()); }
double Rms(const std::vector<double>& samples);
// 10 log10(signal power / power of the difference), over the shorter length; +inf for equal.
double SnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& test);

}  // namespace test_support
