#include "mp3/format/frame_scan.h"

#include <cstring>
#include <vector>

namespace {

// Libmad decoder state that always ends with its finish calls.
struct FrameDecoder {
  mad_stream stream{};
  mad_frame frame{};
  FrameDecoder() {
    mad_stream_init(&stream);
    mad_frame_init(&frame);
  }
  ~FrameDecoder() {
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
  }
  FrameDecoder(const FrameDecoder&) = delete;
  FrameDecoder& operator=(const FrameDecoder&) = delete;
};

}  // namespace

uint32_t SamplesPerFrame(const mad_header& header) {
  if (header.layer == MAD_LAYER_I) return 384;
  if (header.layer == MAD_LAYER_II) return 1152;
  return (header.flags & MAD_FLAG_LSF_EXT) ? 576 : 1152;
}

uint32_t VersionBit(const mad_header& header) {
  if (header.flags & MAD_FLAG_MPEG_2_5_EXT) return 4;
  if (header.flags & MAD_FLAG_LSF_EXT) return 2;
  return 1;
}

uint32_t LayerBit(const mad_header& header) {
  switch (header.layer) {
    case MAD_LAYER_I: return 1;
    case MAD_LAYER_II: return 2;
    case MAD_LAYER_III: return 4;
  }
  return 0;
}

uint32_t ModeBit(const mad_header& header) {
  switch (header.mode) {
    case MAD_MODE_SINGLE_CHANNEL: return 1;
    case MAD_MODE_DUAL_CHANNEL: return 2;
    case MAD_MODE_JOINT_STEREO: return 4;
    case MAD_MODE_STEREO: return 8;
  }
  return 0;
}

uint32_t EmphasisBit(const mad_header& header) {
  switch (static_cast<int>(header.emphasis)) {
    case MAD_EMPHASIS_NONE: return 1;
    case MAD_EMPHASIS_50_15_US: return 2;
    case 2: return 8;
    case MAD_EMPHASIS_CCITT_J_17: return 4;
    default: break;
  }
  return 0;
}

bool FindFirstValidFrame(const uint8_t* data, size_t size, FirstFrame* out) {
  if (!data || size <= 8) return false;
  FrameDecoder d;
  mad_stream_buffer(&d.stream, data, size - 8);
  bool have_candidate = false;
  for (;;) {
    // A frame whose bit reservoir reaches back before the data is still a real frame: starting
    // there lets the decoder collect the reservoir that the frames after it need.
    if (mad_frame_decode(&d.frame, &d.stream) != 0 && d.stream.error != MAD_ERROR_BADDATAPTR) {
      if (!MAD_RECOVERABLE(d.stream.error)) return false;
      have_candidate = false;  // the search goes on with the next decodable frame
      continue;
    }
    if (have_candidate && d.frame.header.samplerate == out->header.samplerate &&
        d.frame.header.layer == out->header.layer) {
      out->freerate = d.stream.freerate;
      return true;
    }
    // A first decodable frame, or one that does not match its predecessor: the new candidate.
    out->frame = d.stream.this_frame;
    out->header = d.frame.header;
    have_candidate = true;
  }
}

HeaderScan ScanFrameHeaders(const uint8_t* data, size_t size, unsigned long freerate, unsigned long first_bitrate,
                            uint32_t limit) {
  HeaderScan scan;
  if (!data || size == 0) return scan;
  mad_stream stream{};
  mad_header header{};
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, data, size);
  stream.freerate = freerate;
  std::vector<uint8_t> tail;
  while (scan.counted < limit) {
    if (mad_header_decode(&header, &stream) != 0) {
      if (MAD_RECOVERABLE(stream.error)) continue;
      if (stream.error != MAD_ERROR_BUFLEN || !tail.empty()) break;
      // The last frame needs the decoder's guard bytes after it.
      const uint8_t* from = stream.next_frame ? stream.next_frame : stream.this_frame;
      const uint8_t* end = data + size;
      if (!from || from < data || from > end) break;
      tail.assign(from, end);
      tail.resize(tail.size() + MAD_BUFFER_GUARD, 0);
      mad_stream_buffer(&stream, tail.data(), tail.size());
      continue;
    }
    ++scan.counted;
    scan.byte_sum += static_cast<uint64_t>(stream.next_frame - stream.this_frame);
    if (header.bitrate != first_bitrate) scan.vbr = true;
  }
  mad_header_finish(&header);
  mad_stream_finish(&stream);
  return scan;
}
