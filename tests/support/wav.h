// 16-bit PCM WAV files: read back what a program wrote, write what a test feeds it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct Wav {
  uint32_t sample_rate = 0;
  uint16_t channels = 0;
  std::vector<int16_t> samples;  // interleaved
};

// Reads a 16-bit PCM WAV file; false when it is not one.
bool ReadWav(const std::filesystem::path& path, Wav* wav);
// Writes one (canonical 44-byte header); false when the file cannot be written.
bool WriteWav(const std::filesystem::path& path, const Wav& wav);
