#include "mp3/effects/block_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "mp3/dsp/shared_pcm.h"

namespace {
int16_t Saturate(int32_t value) { return static_cast<int16_t>(std::clamp<int32_t>(value, -32768, 32767)); }
}  // namespace

double LoudnessFactor(double level) {
  if (level >= 100.0) return 1.0;
  if (level <= 0.0) return 0.0;
  return std::pow(10.0, level / 100.0) / 10.0 - 0.1;
}

void ApplyPlayerVolume(char* block, uint32_t bytes, uint32_t channels, double left, double right) {
  if (!block) return;
  auto* samples = reinterpret_cast<int16_t*>(block);
  uint32_t count = bytes / 2;
  if (channels < 2) {
    for (uint32_t i = 0; i < count; ++i) samples[i] = Saturate(static_cast<int32_t>(samples[i] * left));
    return;
  }
  for (uint32_t i = 0; i + 1 < count; i += 2) {
    samples[i] = Saturate(static_cast<int32_t>(samples[i] * left));
    samples[i + 1] = Saturate(static_cast<int32_t>(samples[i + 1] * right));
  }
}

void VocalCutBlock(char* block, uint32_t bytes, uint32_t channels) {
  if (!block || channels != 2) return;
  auto* samples = reinterpret_cast<int16_t*>(block);
  for (uint32_t i = 0; i + 1 < bytes / 2; i += 2) {
    int32_t l = samples[i], r = samples[i + 1];
    samples[i] = Saturate(l - r);
    samples[i + 1] = Saturate(r - l);
  }
}

void ReverseBlock(char* block, uint32_t bytes, uint32_t channels) {
  if (!block) return;
  if (channels < 2) {
    auto* samples = reinterpret_cast<int16_t*>(block);
    std::reverse(samples, samples + bytes / 2);
    return;
  }
  // Stereo frames are reversed as 32-bit pairs; memcpy keeps this free of alignment needs.
  uint32_t frames = bytes / 4;
  for (uint32_t a = 0, b = frames ? frames - 1 : 0; a < b; ++a, --b) {
    char swap[4];
    std::memcpy(swap, block + a * 4, 4);
    std::memcpy(block + a * 4, block + b * 4, 4);
    std::memcpy(block + b * 4, swap, 4);
  }
}

int32_t MixFactorFromPercent(unsigned int percent) {
  // Percentages are not clamped, but from 800 % up the factor no longer fits: hold it at the top.
  const double factor = static_cast<double>(percent) / 100.0 * 268435456.0 + 0.5;
  return factor >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(factor);
}

void MixChannelsFrame(mad_frame* frame, int32_t left_factor, int32_t right_factor) {
  if (!frame || MAD_NCHANNELS(&frame->header) != 2) return;
  int slots = 36;
  if (frame->header.layer == MAD_LAYER_I)
    slots = 12;
  else if (frame->header.layer == MAD_LAYER_III && (frame->header.flags & MAD_FLAG_LSF_EXT))
    slots = 18;
  // 64-bit arithmetic: large factors and loud samples would overflow 32 bits. Results within
  // range are those of the 32-bit mix; the rest saturate instead of wrapping.
  const int64_t lf = (int64_t{left_factor} + 32768) >> 16;
  const int64_t rf = (int64_t{right_factor} + 32768) >> 16;
  for (int s = 0; s < slots; ++s)
    for (int sb = 0; sb < 32; ++sb) {
      const int64_t l = (int64_t{frame->sbsample[0][s][sb]} + 2048) >> 12;
      const int64_t r = (int64_t{frame->sbsample[1][s][sb]} + 2048) >> 12;
      const int64_t m = std::clamp<int64_t>(l * lf + r * rf, INT32_MIN, INT32_MAX);
      frame->sbsample[0][s][sb] = frame->sbsample[1][s][sb] = static_cast<mad_fixed_t>(m);
    }
}

uint32_t VuLevel(double mean) {
  if (mean < 21.61) return 0;
  double vu = 33.0 * std::log10(mean / 23169.0) + 100.0;
  if (vu >= 100.0) return 100;
  return vu <= 0.0 ? 0 : static_cast<uint32_t>(vu);
}

void VuFromBlock(const char* block, uint32_t bytes, uint32_t offset, uint32_t channels, uint32_t* left,
                 uint32_t* right) {
  *left = *right = 0;
  if (!block || bytes < 8) return;
  uint32_t span = bytes / 2;
  if (offset > bytes || bytes - offset < span + 4) offset = bytes - span - 4;
  offset &= ~3u;  // whole stereo frames
  // The decoding thread may be refilling this buffer (see shared_pcm.h).
  const auto* samples = reinterpret_cast<const int16_t*>(block + offset);
  auto sample = [samples](uint32_t i) { return static_cast<int32_t>(dsp::LoadSharedSample(samples + i)); };
  double sum_left = 0, sum_right = 0;
  uint32_t frames = span / 4;
  if (channels < 2) {
    for (uint32_t i = 0; i < span / 2; ++i) sum_left += std::abs(sample(i));
    double mean = sum_left / std::max<uint32_t>(1, span / 2);
    *left = *right = VuLevel(mean);
    return;
  }
  for (uint32_t i = 0; i < frames; ++i) {
    sum_left += std::abs(sample(2 * i));
    sum_right += std::abs(sample(2 * i + 1));
  }
  *left = VuLevel(sum_left / std::max<uint32_t>(1, frames));
  *right = VuLevel(sum_right / std::max<uint32_t>(1, frames));
}

uint32_t TimeToMs(int format, const MP3_TIME* time) {
  if (!time) return 0;
  switch (format) {
    case TIME_FORMAT_MS: return time->ms;
    case TIME_FORMAT_SEC: return time->sec * 1000u;
    case TIME_FORMAT_HMS:
      return time->hms_hour * 3600000u + time->hms_minute * 60000u + time->hms_second * 1000u + time->hms_millisecond;
    default: return 0;
  }
}
