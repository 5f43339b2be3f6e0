#include "mp3/id3/tag_bytes.h"

namespace id3 {

std::vector<uint8_t> Deunsynchronise(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  out.reserve(bytes.size());
  bool after_ff = false;
  for (uint8_t b : bytes) {
    if (!(after_ff && b == 0x00)) out.push_back(b);
    after_ff = b == 0xFF;
  }
  return out;
}

}  // namespace id3
