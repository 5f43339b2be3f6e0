#include "tools/dar3play/replay_gain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kLargestGainDb = 60.0;
constexpr double kLargestPeak = 100.0;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

// A plain decimal number, the whole of `text`: no exponent, no "inf" or "nan", no hexadecimal.
bool ParseDecimal(std::string_view text, double* value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) return false;
  double v = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  *value = negative ? -v : v;
  return true;
}

double DbToFactor(double db) { return std::pow(10.0, db / 20.0); }

}  // namespace

bool ParseReplayGainMode(std::string_view text, ReplayGainMode* mode) {
  if (text == "track")
    *mode = ReplayGainMode::kTrack;
  else if (text == "album")
    *mode = ReplayGainMode::kAlbum;
  else if (text == "off")
    *mode = ReplayGainMode::kOff;
  else
    return false;
  return true;
}

bool ParseGainDb(std::string_view text, double* db) {
  text = Trim(text);
  if (text.size() >= 2 && EqualsIgnoringCase(text.substr(text.size() - 2), "dB")) {
    text = Trim(text.substr(0, text.size() - 2));
  }
  double value = 0.0;
  if (!ParseDecimal(text, &value) || std::fabs(value) > kLargestGainDb) return false;
  *db = value;
  return true;
}

bool ParsePeak(std::string_view text, double* peak) {
  double value = 0.0;
  if (!ParseDecimal(Trim(text), &value) || value < 0.0 || value > kLargestPeak) return false;
  *peak = value;
  return true;
}

double ReplayGainFactor(const ReplayGainInfo& info, ReplayGainMode mode) {
  if (mode == ReplayGainMode::kOff) return 1.0;
  const GainValue& wanted = mode == ReplayGainMode::kAlbum ? info.album : info.track;
  const GainValue& other = mode == ReplayGainMode::kAlbum ? info.track : info.album;
  const GainValue& value = wanted.present ? wanted : other;
  if (!value.present) return 1.0;
  double factor = DbToFactor(value.gain_db);
  // Without its own peak the other one's is still the file's peak.
  const double peak = value.peak > 0.0 ? value.peak : std::max(info.track.peak, info.album.peak);
  if (peak > 0.0 && peak * factor > 1.0) factor = 1.0 / peak;
  return factor;
}

void ScaleSamples(int16_t* samples, size_t count, double factor) {
  if (factor == 1.0) return;
  const float f = float(factor);
  for (size_t i = 0; i < count; ++i) {
    const float scaled = std::nearbyint(float(samples[i]) * f);
    samples[i] = int16_t(std::clamp(scaled, -32768.0f, 32767.0f));
  }
}

const int16_t* WithGain(const int16_t* samples, size_t count, double factor, std::vector<int16_t>* work) {
  if (factor == 1.0) return samples;
  work->assign(samples, samples + count);
  ScaleSamples(work->data(), count, factor);
  return work->data();
}

std::string DescribeReplayGain(const ReplayGainInfo& info) {
  auto describe = [](const char* name, const GainValue& value) {
    char text[96];
    int n = std::snprintf(text, sizeof text, "%s %+.2f dB", name, value.gain_db);
    if (value.peak > 0.0) std::snprintf(text + n, sizeof text - size_t(n), ", peak %.6f", value.peak);
    return std::string(text);
  };
  std::string out;
  if (info.track.present) out = describe("track", info.track);
  if (info.album.present) out += (out.empty() ? "" : "; ") + describe("album", info.album);
  if (out.empty()) return "none";
  return out + " (" + info.source + ")";
}
