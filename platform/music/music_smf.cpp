// Structure check of standard MIDI files before they reach the synthesiser's parser.
#include <cstddef>
#include <cstdint>

#include "platform/music.h"

namespace platform {
namespace {

uint32_t U32Be(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// A variable-length quantity of at most four bytes, inside [p, end).
bool ReadVlq(const uint8_t*& p, const uint8_t* end, uint32_t* value) {
  uint32_t result = 0;
  for (int i = 0; i < 4; ++i) {
    if (p >= end) return false;
    uint8_t byte = *p++;
    result = result << 7 | (byte & 0x7F);
    if (!(byte & 0x80)) {
      *value = result;
      return true;
    }
  }
  return false;
}

int ChannelMessageDataBytes(uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 1;
    default: return 2;
  }
}

bool CheckTrack(const uint8_t* p, const uint8_t* end) {
  uint8_t running = 0;
  bool ended = false;
  while (p < end && !ended) {
    uint32_t delta;
    if (!ReadVlq(p, end, &delta) || p >= end) return false;
    uint8_t status = *p;
    if (status < 0x80) {
      if (!running) return false;  // data byte with no running status
      status = running;
    } else {
      ++p;
    }
    if (status == 0xFF) {  // meta event: type, length, data
      if (p >= end) return false;
      uint8_t type = *p++;
      uint32_t length;
      if (!ReadVlq(p, end, &length) || length > static_cast<size_t>(end - p)) return false;
      p += length;
      ended = type == 0x2F;
      running = 0;
    } else if (status == 0xF0 || status == 0xF7) {  // sysex: length, data
      uint32_t length;
      if (!ReadVlq(p, end, &length) || length > static_cast<size_t>(end - p)) return false;
      p += length;
      running = 0;
    } else if (status >= 0xF0) {
      return false;  // system common and real-time messages do not belong in a file
    } else {
      int count = ChannelMessageDataBytes(status);
      if (end - p < count) return false;
      for (int i = 0; i < count; ++i)
        if (p[i] & 0x80) return false;
      p += count;
      running = status;
    }
  }
  return true;
}

}  // namespace

bool IsStandardMidiFile(const uint8_t* bytes, size_t size) {
  if (!bytes || size < 14 || U32Be(bytes) != 0x4D546864u /* MThd */) return false;
  const uint32_t header_length = U32Be(bytes + 4);
  if (header_length < 6 || header_length > size - 8) return false;
  const unsigned format = bytes[8] << 8 | bytes[9];
  const unsigned tracks = bytes[10] << 8 | bytes[11];
  const unsigned division = bytes[12] << 8 | bytes[13];
  if (format > 2 || tracks == 0 || division == 0 || (format == 0 && tracks != 1)) return false;
  size_t offset = 8 + header_length;
  unsigned found = 0;
  while (found < tracks) {
    if (size - offset < 8) return false;
    const uint32_t id = U32Be(bytes + offset);
    const uint32_t length = U32Be(bytes + offset + 4);
    offset += 8;
    if (length > size - offset) return false;
    if (id == 0x4D54726Bu /* MTrk */) {
      if (!CheckTrack(bytes + offset, bytes + offset + length)) return false;
      ++found;
    }  // other chunk types are skipped, as the format allows
    offset += length;
  }
  return true;
}

}  // namespace platform
