#pragma once
// The subband equalizer: ten gains spread over the 32 polyphase subbands, applied to each
// decoded frame's subband samples before synthesis. Integer fixed point, 28 fraction bits.
#include <atomic>
#include <cstdint>

struct mad_frame;
struct mad_header;

namespace dsp {

constexpr int kSubbandEqBands = 10;
constexpr int32_t kFixedOne = 0x10000000;

struct SubbandEqualizer {
  int32_t gains[kSubbandEqBands] = {};  // millidecibels
  int32_t preamp = 0;                   // millidecibels
  // Written by the caller's thread, read per frame by the decoding thread.
  std::atomic<int32_t> table[32];
  std::atomic<int32_t> enabled{0};

  SubbandEqualizer();
};

// SetEQParam (whole dB) and SetEQParamEx (millidecibels) on the subband side: always ten
// gains. A null gains array keeps the stored gains and only changes the preamp.
void SubbandSetParam(SubbandEqualizer* eq, int preamp_db, const int* gains_db);
void SubbandSetParamEx(SubbandEqualizer* eq, int preamp_mdb, const int* gains_mdb);

// GetEQParam(Ex) on the subband side: writes what is given (null pointers are skipped),
// in whole dB (truncated) or millidecibels. Returns 10.
int SubbandGetParam(const SubbandEqualizer& eq, bool millidecibels, int* preamp, int* gains);

// Subband sample slots of a decoded frame: 12 for Layer I, 18 for lower-sampling-frequency
// Layer III, 36 otherwise.
int SubbandSlotCount(const mad_header& header);

// Scales every subband sample of the frame by its subband's factor.
void ApplySubbandGains(const SubbandEqualizer& eq, mad_frame* frame);

// The fixed-point factor for a level in dB, limited to 0x7FFFFFFF.
int32_t SubbandFactor(double level_db);

}  // namespace dsp
