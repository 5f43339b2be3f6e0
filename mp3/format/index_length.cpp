#include "mp3/format/index_length.h"

#include <cstddef>

#include "mp3/format/seek_math.h"

uint32_t FrameFormatKey(const uint8_t* header) {
  const uint32_t version_and_layer = (header[1] >> 1) & 0xF;
  const uint32_t rate_index = (header[2] >> 2) & 3;
  const uint32_t single_channel = (header[3] >> 6) == 3 ? 1 : 0;
  return version_and_layer << 3 | rate_index << 1 | single_channel;
}

IndexLength LengthFromIndex(const std::vector<const uint8_t*>& index, const uint8_t* data_end,
                            uint32_t samples_per_frame, uint32_t sample_rate) {
  IndexLength length;
  if (index.empty() || sample_rate == 0 || samples_per_frame == 0 || !data_end) return length;
  const uint32_t key = FrameFormatKey(index[0]);
  size_t counted = 1;
  while (counted < index.size() && FrameFormatKey(index[counted]) == key) ++counted;
  length.format_changes = counted < index.size();
  const uint8_t* end = length.format_changes ? index[counted] : data_end;
  length.frames = Saturate32(counted);
  length.samples = uint64_t(counted) * samples_per_frame;
  length.ms = Saturate32(length.samples * 1000 / sample_rate);
  length.bytes = end > index[0] ? Saturate32(uint64_t(end - index[0])) : 0;
  length.average_bitrate = float(double(length.bytes) * 8.0 * sample_rate / double(length.samples));
  return length;
}
