#pragma once
// The FFT equalizer's filter: a linear-phase FIR of 8191 taps per channel (Kaiser window),
// designed from band gains, run as fast convolution (8191-frame blocks, 16384-point real FFT,
// overlap-add) on interleaved 16-bit audio.
//
// Three threads meet here without a lock on the audio path: the designer (the worker, or
// _Open) writes only the spare response set and publishes it through the set state; the
// decoding thread switches sets only at the start of EqProcessBlock, and is the only one that
// touches the block state (a reset from elsewhere is a request it honours there).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "mp3/dsp/real_fft.h"

namespace dsp {

constexpr int kEqBits = 14;
constexpr float kEqTopEdge = 96000.0f;  // a last edge of 96000 Hz means "to the top"
constexpr float kEqDefaultDesignFreqs[] = {115, 240, 455, 800, 2000, 4500, 9000, 13000, 15000};

struct FftEqualizer {
  // Response sets 1 and 2 (index 0 and 1), packed spectra of the table size.
  std::vector<float> left_sets[2];
  std::vector<float> right_sets[2];
  std::vector<float> impulse;  // designer's work buffer
  std::vector<float> work;     // decoding thread's work buffer
  // Current set in bits 0-1, pending set in bits 2-3 (0: no switch pending).
  std::atomic<int32_t> set_state{1 | (1 << 2)};
  int32_t block_length = 0;  // 2^(bits-1) - 1
  int32_t bits = 0;
  int32_t table_size = 0;  // 2^bits
  int32_t buffered_frames = 0;
  std::vector<int16_t> history;    // block length x 2 samples
  std::vector<float> accumulator;  // table size x 2
  FftWorkTables design_tables;     // one per thread that transforms
  FftWorkTables process_tables;
  std::vector<float> design_freqs;
  std::vector<float> supplied_freqs;  // from the band edge table
  bool has_supplied = false;          // a table was ever supplied
  bool initialised = false;
  double factorials[16] = {};
  double i0_beta = 0;
  std::vector<float> window;  // Kaiser window for tap offsets 0..block length/2
  std::atomic<bool> reset_pending{false};
  std::mutex design_lock;  // serialises designers (worker, _Open) and table rebuilds
};

inline int EqCurrentSet(int32_t state) { return state & 3; }
inline int EqPendingSet(int32_t state) { return (state >> 2) & 3; }

// The design frequencies from a caller's edge table (first edge 0 and last edge 96000 drop).
std::vector<float> EqDesignFrequencies(const std::vector<float>& edges);

// (Re)allocates everything for 2^bits (bits 3..16). False when memory runs out (then freed).
bool EqInitTables(FftEqualizer* eq, int bits);
void EqFreeTables(FftEqualizer* eq);
// Asks for an empty block and a cleared accumulator from the next EqProcessBlock on.
void EqResetState(FftEqualizer* eq);
// Designs both channels into the spare set and marks it pending. Factors hold one entry per
// design band. Nothing happens for fs 0 or before initialisation.
void EqBuildResponse(FftEqualizer* eq, const float* left_factors, const float* right_factors, int32_t fs);
// The same, with the factor counts checked against the design bands under the design lock.
// True when a set was published; false (nothing designed) for fs 0, before initialisation, or
// for fewer factors than design bands.
bool EqBuildResponse(FftEqualizer* eq, const std::vector<float>& left_factors, const std::vector<float>& right_factors,
                     int32_t fs);
// Filters interleaved 16-bit samples (1 or 2 channels) in place; returns frame_count. Other
// formats, and an uninitialised equalizer, leave the samples alone.
int EqProcessBlock(FftEqualizer* eq, int16_t* samples, int frame_count, int channels, int bits);
// Delay of the filter in sample frames: one block plus half the filter (12286 for 14 bits).
int32_t EqLatencyFrames(const FftEqualizer& eq);

}  // namespace dsp
