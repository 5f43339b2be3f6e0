#include "mp3/format/index_length.h"

#include <cstddef>

#include "mp3/format/seek_math.h"

uint32_t FrameFormatKey(const uint8_t* header) {
  const uint32_t version_and_layer = (header[1] >> 1) & 0xF;
  const uint32_t rate_index = (header[2] >> 2) & 3;
  return version_and_layer << 2 | rate_index;
}

IndexLength LengthFromIndex(const std::vector<const uint8_t*>& index, const uint8_t* data_end,
                            uint32_t samples_per_frame, uint32_t sample_rate) {
  IndexLength length;
  if (index.empty() || sample_rate == 0 || samples_per_frame == 0 || !data_end) return length;
  const uint32_t key = FrameFormatKey(index[0]);
  size_t counted = 0;
  const uint8_t* end = data_end;
  for (size_t i = 0; i < index.size(); ++i) {
    if (FrameFormatKey(index[i]) == key) {
      ++counted;
    } else if (i + 1 < index.size() && FrameFormatKey(index[i + 1]) != key) {
      length.format_changes = true;
      end = index[i];
      break;
    }
    // A single frame of another format is a damaged one, and not played.
  }
  length.frames = Saturate32(counted);
  length.samples = uint64_t(counted) * samples_per_frame;
  length.ms = Saturate32(length.samples * 1000 / sample_rate);
  length.bytes = end > index[0] ? Saturate32(uint64_t(end - index[0])) : 0;
  length.average_bitrate = float(double(length.bytes) * 8.0 * sample_rate / double(length.samples));
  return length;
}
