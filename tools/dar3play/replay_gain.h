// ReplayGain: the loudness correction a file's tags carry, and the factor dar3play plays it with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ReplayGainMode { kTrack, kAlbum, kOff };

bool ParseReplayGainMode(std::string_view text, ReplayGainMode* mode);

struct GainValue {
  bool present = false;
  double gain_db = 0.0;
  double peak = 0.0;  // linear, 1.0 full scale; 0 when the tag gives none
};

struct ReplayGainInfo {
  GainValue track, album;
  std::string source;  // where the values come from: "ID3v2 TXXX", "ID3v2 RVA2", "LAME tag"; empty for none
};

// "-6.50 dB", "+1.2 dB", "3", with spaces around; the decimal point is always '.', whatever the
// locale. False for anything else, and for gains no tagger writes (beyond +-60 dB).
bool ParseGainDb(std::string_view text, double* db);
// "0.988831": a linear peak, 0 to 100 (float files go beyond 1).
bool ParsePeak(std::string_view text, double* peak);

// The linear factor to play with: the mode's gain (album falls back to track and back, as other
// players do), lowered so that the peak times the factor stays at or below full scale. 1 when
// off or when the file has no values.
double ReplayGainFactor(const ReplayGainInfo& info, ReplayGainMode mode);

// Multiplies 16-bit samples in place, rounding and saturating at full scale.
void ScaleSamples(int16_t* samples, size_t count, double factor);

// The samples at the factor: `samples` itself for 1, else a scaled copy kept in *work.
const int16_t* WithGain(const int16_t* samples, size_t count, double factor, std::vector<int16_t>* work);

// "track -6.50 dB, peak 0.988831; album -7.10 dB (ID3v2 TXXX)", or "none".
std::string DescribeReplayGain(const ReplayGainInfo& info);
