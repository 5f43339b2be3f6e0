#include "mp3/dsp/subband_eq.h"

#include <mad.h>

#include <cmath>

namespace dsp {
namespace {

// Gain index of each subband: 0-4 one each, then 5-7, 8-13, 14-18, 19-23, 24-31.
constexpr int kSubbandGainIndex[32] = {0, 1, 2, 3, 4, 5, 5, 5, 6, 6, 6, 6, 6, 6, 7, 7,
                                       7, 7, 7, 8, 8, 8, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9};

int32_t SaturatedMillidecibels(int64_t db) {
  const int64_t mdb = db * 1000;
  if (mdb > INT32_MAX) return INT32_MAX;
  if (mdb < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(mdb);
}

}  // namespace

SubbandEqualizer::SubbandEqualizer() {
  for (auto& f : table) f.store(kFixedOne, std::memory_order_relaxed);
}

int32_t SubbandFactor(double level_db) {
  double v = std::pow(10.0, level_db / 20.0);
  constexpr double kLimit = 0x7FFFFFFF / 268435456.0;
  if (!(v <= kLimit)) v = kLimit;                      // also catches NaN
  return static_cast<int32_t>(v * 268435456.0 + 0.5);  // NOLINT(bugprone-incorrect-roundings): v > 0
}

void SubbandSetParam(SubbandEqualizer* eq, int preamp_db, const int* gains_db) {
  if (gains_db != nullptr)
    for (int i = 0; i < kSubbandEqBands; ++i) eq->gains[i] = SaturatedMillidecibels(gains_db[i]);
  eq->preamp = SaturatedMillidecibels(preamp_db);
  for (int sb = 0; sb < 32; ++sb) {
    // Whole dB as given; with a null array the stored gain stands in for it.
    const int64_t gain =
        gains_db != nullptr ? gains_db[kSubbandGainIndex[sb]] : eq->gains[kSubbandGainIndex[sb]] / 1000;
    eq->table[sb].store(SubbandFactor(static_cast<double>(gain + preamp_db)), std::memory_order_relaxed);
  }
}

void SubbandSetParamEx(SubbandEqualizer* eq, int preamp_mdb, const int* gains_mdb) {
  if (gains_mdb != nullptr)
    for (int i = 0; i < kSubbandEqBands; ++i) eq->gains[i] = gains_mdb[i];
  eq->preamp = preamp_mdb;
  for (int sb = 0; sb < 32; ++sb) {
    const double level =
        eq->gains[kSubbandGainIndex[sb]] / 1000 + preamp_mdb / 1000.0;  // NOLINT(bugprone-integer-division): whole dB
    eq->table[sb].store(SubbandFactor(level), std::memory_order_relaxed);
  }
}

int SubbandGetParam(const SubbandEqualizer& eq, bool millidecibels, int* preamp, int* gains) {
  if (preamp == nullptr) return kSubbandEqBands;
  const int div = millidecibels ? 1 : 1000;
  *preamp = eq.preamp / div;
  if (gains != nullptr)
    for (int i = 0; i < kSubbandEqBands; ++i) gains[i] = eq.gains[i] / div;
  return kSubbandEqBands;
}

int SubbandSlotCount(const mad_header& header) { return static_cast<int>(MAD_NSBSAMPLES(&header)); }

void ApplySubbandGains(const SubbandEqualizer& eq, mad_frame* frame) {
  if (frame == nullptr) return;
  int64_t factor[32];
  for (int sb = 0; sb < 32; ++sb) factor[sb] = (int64_t{eq.table[sb].load(std::memory_order_relaxed)} + 32768) >> 16;
  const int channels = MAD_NCHANNELS(&frame->header);
  const int slots = SubbandSlotCount(frame->header);
  for (int ch = 0; ch < channels; ++ch) {
    for (int s = 0; s < slots; ++s) {
      mad_fixed_t* row = frame->sbsample[ch][s];
      for (int sb = 0; sb < 32; ++sb) {
        // 64-bit, saturated: the top factor 0x7FFFFFFF rounds to +32768 (it would flip the
        // sign in 32 bits), and loud samples clip instead of wrapping around.
        const int64_t p = ((int64_t{row[sb]} + 2048) >> 12) * factor[sb];
        row[sb] = static_cast<mad_fixed_t>(p > INT32_MAX ? INT32_MAX : p < INT32_MIN ? INT32_MIN : p);
      }
    }
  }
}

}  // namespace dsp
