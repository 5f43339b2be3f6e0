#include "tools/assetgen/wav_writer.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Bytes EncodeWav(const std::vector<float>& samples, int sample_rate, WavDepth depth) {
  const uint32_t bytes_per_sample = depth == WavDepth::kUnsigned8 ? 1 : 2;
  const uint32_t data_bytes = uint32_t(samples.size()) * bytes_per_sample;
  const uint32_t pad = data_bytes & 1;
  Bytes b;
  PutText(b, "RIFF");
  PutU32(b, 4 + (8 + 18) + (8 + data_bytes + pad));
  PutText(b, "WAVE");
  PutText(b, "fmt ");
  PutU32(b, 18);
  PutU16(b, 1);  // PCM
  PutU16(b, 1);  // mono
  PutU32(b, uint32_t(sample_rate));
  PutU32(b, uint32_t(sample_rate) * bytes_per_sample);
  PutU16(b, bytes_per_sample);
  PutU16(b, bytes_per_sample * 8);
  PutU16(b, 0);
  PutText(b, "data");
  PutU32(b, data_bytes);
  for (float s : samples) {
    double v = std::clamp(double(s), -1.0, 1.0);
    if (depth == WavDepth::kUnsigned8) {
      PutU8(b, uint32_t(std::clamp(std::lround(128.0 + v * 127.0), 0L, 255L)));
    } else {
      PutU16(b, uint32_t(uint16_t(int16_t(std::lround(v * 32767.0)))));
    }
  }
  if (pad) PutU8(b, 0);
  return b;
}

}  // namespace assetgen
