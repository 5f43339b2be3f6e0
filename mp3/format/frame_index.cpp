#include "mp3/format/frame_index.h"

#include <mad.h>

#include <cstddef>
#include <new>

namespace {

// Bytes of the frame whose header is at `p`, as libmad's header reader works it out; 0 for any
// header it could treat otherwise (free format, reserved values), which libmad then reads.
uint32_t PlainFrameLength(const uint8_t* p) {
  static constexpr uint16_t kKbps[5][15] = {
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // LSF layer I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};         // LSF layers II, III
  static constexpr uint32_t kRates[3] = {44100, 48000, 32000};
  const bool mpeg25 = (p[1] & 0x10) == 0;
  const bool lsf = (p[1] & 0x08) == 0;
  const uint32_t layer = 4 - ((p[1] >> 1) & 3);
  const uint32_t bitrate_index = p[2] >> 4;
  const uint32_t rate_index = (p[2] >> 2) & 3;
  if ((mpeg25 && !lsf) || layer == 4 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3 || (p[3] & 3) == 2)
    return 0;
  const uint32_t bitrate = kKbps[lsf ? 3 + (layer >> 1) : layer - 1][bitrate_index] * 1000u;
  const uint32_t rate = kRates[rate_index] >> (lsf ? (mpeg25 ? 2 : 1) : 0);
  const uint32_t pad = (p[2] >> 1) & 1;
  if (layer == 1) return (12 * bitrate / rate + pad) * 4;
  return (layer == 3 && lsf ? 72 : 144) * bitrate / rate + pad;
}

// While libmad is in sync, the frames that follow one another plainly are taken here, exactly
// as its header reader would take them, at a fraction of its cost; it goes on from the first
// frame that is not plain, in the same state.
template <typename Found>
void TakePlainFrames(mad_stream& stream, Found found) {
  if (!stream.sync || !stream.next_frame) return;
  const uint8_t* p = stream.next_frame;
  const uint8_t* const end = stream.bufend;
  while (end - p >= MAD_BUFFER_GUARD && p[0] == 0xFF && (p[1] & 0xE0) == 0xE0) {
    const uint32_t length = PlainFrameLength(p);
    if (length == 0 || length + MAD_BUFFER_GUARD > uint32_t(end - p)) break;
    found(p);
    stream.this_frame = p;
    p += length;
  }
  stream.next_frame = p;
}

// Walks the frames, calling `found` with each start (mapped back into the source range).
template <typename Found>
bool WalkFrames(const uint8_t* data, uint32_t size, Found found) {
  if (!data) return size == 0;  // nothing to walk
  mad_stream stream{};
  mad_header header{};
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, data, size);
  std::vector<uint8_t> tail;
  const uint8_t* tail_origin = nullptr;
  bool ok = true;
  const auto in_source = [&](const uint8_t* at) { return tail_origin ? tail_origin + (at - tail.data()) : at; };
  for (;;) {
    TakePlainFrames(stream, [&](const uint8_t* at) { found(in_source(at)); });
    if (mad_header_decode(&header, &stream) == 0) {
      found(in_source(stream.this_frame));
      continue;
    }
    if (MAD_RECOVERABLE(stream.error)) continue;
    if (stream.error != MAD_ERROR_BUFLEN || tail_origin) break;
    const uint8_t* from = stream.this_frame ? stream.this_frame : data;
    if (from < data || from > data + size) break;
    try {
      tail.assign(from, data + size);
      static const uint8_t kGuard[8] = {0xFF, 0xE0, 0, 0, 0, 0, 0, 0};
      tail.insert(tail.end(), kGuard, kGuard + 8);
    } catch (const std::bad_alloc&) {
      ok = false;
      break;
    }
    tail_origin = from;
    mad_stream_buffer(&stream, tail.data(), tail.size());
  }
  mad_header_finish(&header);
  mad_stream_finish(&stream);
  return ok;
}

}  // namespace

bool BuildFrameIndex(const uint8_t* data, uint32_t size, std::vector<const uint8_t*>* index) {
  index->clear();
  if (!data || size == 0) return true;
  // One pass: the index grows as the frames are found (an open builds it for every file, so
  // a second, counting walk would double its cost).
  try {
    // Room for frames of 96 bytes on average (smaller ones come only at the lowest bit rates):
    // the index seldom moves while it grows, and pages it does not use are never touched.
    index->reserve(size / 96 + 16);
    if (!WalkFrames(data, size, [&](const uint8_t* start) { index->push_back(start); })) return false;
  } catch (const std::bad_alloc&) {
    index->clear();
    return false;
  }
  return true;
}

uint32_t WarmUpStart(const std::vector<const uint8_t*>& index, uint32_t heard) {
  constexpr size_t kMaxMainDataBegin = 511;
  constexpr size_t kMaxFrameOverhead = 4 + 2 + 32;  // header, check word, stereo side info
  if (heard > index.size()) heard = static_cast<uint32_t>(index.size());
  uint32_t from = heard >= 1 ? heard - 1 : 0;
  size_t reservoir = 0;
  while (from > 0 && reservoir < kMaxMainDataBegin) {
    --from;
    const size_t size = static_cast<size_t>(index[from + 1] - index[from]);
    reservoir += size > kMaxFrameOverhead ? size - kMaxFrameOverhead : 0;
  }
  if (heard >= 2 && from > heard - 2) from = heard - 2;
  return from;
}
