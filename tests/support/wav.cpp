#include "tests/support/wav.h"

#include <algorithm>

#include "tests/support/files.h"

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
bool Is(const std::vector<uint8_t>& bytes, size_t at, const char* tag) {
  return bytes.size() >= at + 4 && std::equal(tag, tag + 4, bytes.begin() + long(at));
}
void Put(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

bool ReadWav(const std::filesystem::path& path, Wav* wav) {
  const std::vector<uint8_t> bytes = test_support::ReadFileBytes(path);
  const uint8_t* p = bytes.data();
  if (bytes.size() < 12 || !Is(bytes, 0, "RIFF") || !Is(bytes, 8, "WAVE")) return false;
  size_t at = 12;
  bool have_format = false;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = Le32(p + at + 4);
    const size_t body = at + 8;
    if (size > bytes.size() - body) return false;
    if (Is(bytes, at, "fmt ") && size >= 16) {
      if (Le16(p + body) != 1 || Le16(p + body + 14) != 16) return false;
      wav->channels = Le16(p + body + 2);
      wav->sample_rate = Le32(p + body + 4);
      have_format = true;
    } else if (Is(bytes, at, "data") && have_format) {
      wav->samples.resize(size / 2);
      for (size_t i = 0; i < wav->samples.size(); ++i) wav->samples[i] = int16_t(Le16(p + body + 2 * i));
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

bool WriteWav(const std::filesystem::path& path, const Wav& wav) {
  const uint32_t data_bytes = uint32_t(wav.samples.size() * 2);
  std::vector<uint8_t> out;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  Put(&out, 36 + data_bytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(&out, 16, 4);
  Put(&out, 1, 2);
  Put(&out, wav.channels, 2);
  Put(&out, wav.sample_rate, 4);
  Put(&out, wav.sample_rate * wav.channels * 2, 4);
  Put(&out, wav.channels * 2u, 2);
  Put(&out, 16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  Put(&out, data_bytes, 4);
  for (int16_t s : wav.samples) Put(&out, uint16_t(s), 2);
  return test_support::WriteFileBytes(path, out.data(), out.size());
}
