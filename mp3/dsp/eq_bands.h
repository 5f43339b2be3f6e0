#pragma once
// The FFT equalizer's band configuration: edge table, gains in millidecibels, preamp, and the
// linear factors per design band that the filter design reads.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace dsp {

struct EqBandConfig {
  std::vector<float> edges;    // Hz; consecutive edges bound one band
  std::vector<int32_t> gains;  // millidecibels, one per band
  int32_t preamp = 0;          // millidecibels
  // One entry per design band (edges + 1 covers the two extra bands). Written on the caller's
  // thread, copied by the designer under factor_lock.
  std::vector<float> left;
  std::vector<float> right;
  mutable std::mutex factor_lock;

  EqBandConfig();  // 0, 115, 240, 455, 800, 2000, 4500, 9000, 13000, 15000, 96000
  int BandCount() const { return static_cast<int>(gains.size()); }
};

// Builds the new edge table, zero gains and unit factors; false with *error set (and the old
// configuration kept) for a null list, fewer than 2 edges or no memory.
bool EqReplaceBands(EqBandConfig* cfg, const int* edge_freqs, int edge_count, std::string* error);

// GetEqBands: the number of edges, written truncated to int when edge_freqs is given.
int EqGetBands(const EqBandConfig& cfg, int* edge_freqs);

// SetEQParam(Ex) on the FFT side: gains and preamp in dB, or millidecibels when
// millidecibels is set. At most the band count of gains is read; a null array reads none.
void EqSetFftGains(EqBandConfig* cfg, int preamp, const int* gains, int gain_count, bool millidecibels);

// GetEQParam(Ex) on the FFT side. With a null preamp only the band count is returned.
int EqGetFftGains(const EqBandConfig& cfg, bool millidecibels, int* preamp, int* gains);

void EqCopyFactors(const EqBandConfig& cfg, std::vector<float>* left, std::vector<float>* right);

}  // namespace dsp
