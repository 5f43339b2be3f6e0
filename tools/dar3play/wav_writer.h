// A 16-bit PCM WAV file written as it goes; the sizes in the header are filled in by Finish.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
 public:
  ~WavWriter();
  bool Open(const std::string& path, uint32_t sample_rate, uint16_t channels);
  bool Write(const void* data, size_t bytes);
  // Patches the header sizes and closes the file; false when any write failed.
  bool Finish();
  uint64_t data_bytes() const { return data_bytes_; }

 private:
  bool WriteHeader(uint32_t data_bytes);

  std::FILE* file_ = nullptr;
  uint32_t sample_rate_ = 0;
  uint16_t channels_ = 0;
  uint64_t data_bytes_ = 0;
  bool failed_ = false;
};
