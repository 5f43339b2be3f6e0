#pragma once
// Single-precision real FFT for powers of two from 4 up.
//
// Forward layout (in place): data[0] = R[0], data[1] = R[n/2], data[2k] = R[k] and
// data[2k+1] = I[k] for 0 < k < n/2, with R[k] = sum x[j] cos(2pi jk/n) and
// I[k] = sum x[j] sin(2pi jk/n) (note the plus sign). The inverse takes that layout and gives
// n/2 times the signal, so callers scale by 2/n.
#include <cstdint>
#include <vector>

namespace dsp {

// Tables of one FFT user, kept between calls and rebuilt only when the size changes.
struct FftWorkTables {
  int built_size = 0;                 // n the tables below belong to (0: none)
  std::vector<float> stage_twiddles;  // radix-4 stages of the n/2 complex transform
  std::vector<float> real_pass;       // cos, sin of 2pi k/n for the real-spectrum pass
  std::vector<uint32_t> swap_pairs;   // bit-reversal permutation as index pairs
};

constexpr int kFftForward = 1;
constexpr int kFftInverse = -1;

inline bool IsFftSize(int n) { return n >= 4 && n <= (1 << 24) && (n & (n - 1)) == 0; }

// Transforms data (n floats) in place. n = 0 releases the tables. Returns false (and leaves
// data alone) when n is not a power of two of at least 4 or data is null.
bool RealFft(int n, int direction, float* data, FftWorkTables* tables);

// The vector code (AVX2 with FMA) is used when the processor has it; tests and benchmarks can
// turn it off to check the portable path.
void RealFftAllowSimd(bool allow);

}  // namespace dsp
