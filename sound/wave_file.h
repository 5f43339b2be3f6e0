#pragma once
// The RIFF WAVE layout LoadWavSound reads: the format chunk first, then "data" anywhere after
// it. Only PCM is accepted, and a data chunk larger than any sound buffer is refused.
#include <cstdint>
#include <vector>

#include "platform/riff_reader.h"

// The format chunk's record (WAVEFORMATEX), as it lies in the file.
struct WaveFormatRecord {
  uint16_t format_tag = 0;
  uint16_t channels = 0;
  uint32_t samples_per_sec = 0;
  uint32_t avg_bytes_per_sec = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;
  uint16_t extra_size = 0;
};

// The format and the samples of a WAVE file; false when the file is not one we can play.
bool ReadWaveFile(platform::RiffReader* reader, WaveFormatRecord* format, std::vector<uint8_t>* samples);
