#include "mp3/format/frame_index.h"

#include <mad.h>

#include <cstddef>
#include <new>

namespace {

// Walks the frames, calling `found` with each start (mapped back into the source range).
template <typename Found>
bool WalkFrames(const uint8_t* data, uint32_t size, Found found) {
  mad_stream stream{};
  mad_header header{};
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, data, size);
  std::vector<uint8_t> tail;
  const uint8_t* tail_origin = nullptr;
  bool ok = true;
  for (;;) {
    if (mad_header_decode(&header, &stream) == 0) {
      const uint8_t* start = stream.this_frame;
      if (tail_origin) start = tail_origin + (stream.this_frame - tail.data());
      found(start);
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
