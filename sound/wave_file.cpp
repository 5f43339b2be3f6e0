#include "sound/wave_file.h"

#include "platform/audio.h"

namespace {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr size_t kWaveFormatBytes = 18;  // the full record, with its extra-size field
constexpr size_t kPcmFormatFields = 16;  // what PCM needs; many files stop here

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

}  // namespace

bool ReadWaveFile(platform::RiffReader* reader, WaveFormatRecord* format, std::vector<uint8_t>* samples) {
  platform::RiffChunk riff, fmt, data;
  if (!reader->FindRiff(platform::RiffFourCc('W', 'A', 'V', 'E'), &riff)) return false;
  if (!reader->DescendNext(riff, &fmt) || fmt.id != platform::RiffFourCc('f', 'm', 't', ' ')) return false;
  uint8_t record[kWaveFormatBytes] = {};
  if (reader->Read(fmt, record, sizeof record) < kPcmFormatFields) return false;
  format->format_tag = U16(record);
  format->channels = U16(record + 2);
  format->samples_per_sec = U32(record + 4);
  format->avg_bytes_per_sec = U32(record + 8);
  format->block_align = U16(record + 12);
  format->bits_per_sample = U16(record + 14);
  format->extra_size = U16(record + 16);
  if (format->format_tag != kWaveFormatPcm) return false;
  reader->Ascend(fmt);
  if (!reader->FindChunk(riff, platform::RiffFourCc('d', 'a', 't', 'a'), &data)) return false;
  if (data.size > platform::kSoundBufferMaxBytes) return false;  // no buffer could hold it
  samples->resize(data.size);
  return reader->Read(data, samples->data(), samples->size()) == samples->size();
}
