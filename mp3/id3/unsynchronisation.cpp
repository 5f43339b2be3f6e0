#include <cstring>

#include "mp3/id3/tag_bytes.h"

namespace id3 {

std::vector<uint8_t> Deunsynchronise(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out(bytes.size());
  const uint8_t* in = bytes.data();
  const uint8_t* const end = in + bytes.size();
  uint8_t* to = out.data();
  while (in < end) {
    // Copy up to and including the next 0xFF in one go; drop a 0x00 right behind it.
    const void* ff = std::memchr(in, 0xFF, size_t(end - in));
    const uint8_t* stop = ff ? static_cast<const uint8_t*>(ff) + 1 : end;
    std::memcpy(to, in, size_t(stop - in));
    to += stop - in;
    in = stop;
    if (ff && in < end && *in == 0x00) ++in;
  }
  out.resize(size_t(to - out.data()));
  return out;
}

}  // namespace id3
