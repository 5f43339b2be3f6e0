#include "tools/dar3play/wav_writer.h"

#include <cstring>

namespace {

constexpr uint32_t kMaxRiffData = 0xFFFFFFFFu - 36;

void Put16(unsigned char* at, uint16_t v) {
  at[0] = uint8_t(v);
  at[1] = uint8_t(v >> 8);
}

void Put32(unsigned char* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

}  // namespace

WavWriter::~WavWriter() {
  if (file_) std::fclose(file_);
}

bool WavWriter::Open(const std::string& path, uint32_t sample_rate, uint16_t channels) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  sample_rate_ = sample_rate;
  channels_ = channels;
  data_bytes_ = 0;
  failed_ = false;
  return WriteHeader(0);
}

bool WavWriter::WriteHeader(uint32_t data_bytes) {
  unsigned char header[44];
  std::memcpy(header, "RIFF", 4);  // NOLINT(bugprone-not-null-terminated-result): a chunk id, no string
  Put32(header + 4, 36 + data_bytes);
  std::memcpy(header + 8, "WAVEfmt ", 8);  // NOLINT(bugprone-not-null-terminated-result): two ids
  Put32(header + 16, 16);
  Put16(header + 20, 1);  // PCM
  Put16(header + 22, channels_);
  Put32(header + 24, sample_rate_);
  Put32(header + 28, sample_rate_ * channels_ * 2);
  Put16(header + 32, uint16_t(channels_ * 2));
  Put16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);  // NOLINT(bugprone-not-null-terminated-result): a chunk id
  Put32(header + 40, data_bytes);
  return std::fwrite(header, 1, sizeof header, file_) == sizeof header;
}

bool WavWriter::Write(const void* data, size_t bytes) {
  if (!file_ || failed_) return false;
  // A RIFF size field holds 32 bits; refuse to write a file whose header would lie.
  if (data_bytes_ + bytes > kMaxRiffData || std::fwrite(data, 1, bytes, file_) != bytes) {
    failed_ = true;
    return false;
  }
  data_bytes_ += bytes;
  return true;
}

bool WavWriter::Finish() {
  if (!file_) return false;
  bool ok = !failed_ && std::fseek(file_, 0, SEEK_SET) == 0 && WriteHeader(uint32_t(data_bytes_));
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok;
}
