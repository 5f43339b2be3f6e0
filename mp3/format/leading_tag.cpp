#include "mp3/format/leading_tag.h"

#include <cstring>

uint64_t LeadingId3v2Size(const uint8_t* data, size_t size) {
  if (!data || size < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
  if (data[3] == 0xFF || data[4] == 0xFF) return 0;
  uint64_t body = 0;
  for (int i = 6; i < 10; ++i) {
    if (data[i] & 0x80) return 0;
    body = body << 7 | data[i];
  }
  const bool footer = data[3] >= 4 && (data[5] & 0x10);
  return 10 + body + (footer ? 10 : 0);
}

uint64_t BytesNeededToOpen(const uint8_t* data, size_t size, uint64_t limit) {
  uint64_t at = 0;
  bool tagged = false;
  // Tags seen in the data at hand; a tag running past it ends the walk.
  for (;;) {
    const uint64_t tag = at < size ? LeadingId3v2Size(data + at, size_t(size - at)) : 0;
    if (tag == 0) break;
    tagged = true;
    at += tag;
    if (at >= size) break;
  }
  if (!tagged) return 0;
  const uint64_t needed = at + kOpenWindowAfterTag;
  if (needed <= size) return 0;
  return needed < limit ? needed : limit;
}
