#pragma once
// Little-endian byte building and whole-file output shared by the file-format writers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace assetgen {

using Bytes = std::vector<uint8_t>;

inline void PutU8(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); }
inline void PutU16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void PutU32(Bytes& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
inline void PutText(Bytes& b, std::string_view s) {
  for (char c : s) b.push_back(uint8_t(c));  // element-wise: GCC 12 misreads a range insert here
}

// Writes the whole file; throws std::runtime_error naming the file on failure.
void WriteFile(const std::string& path, const Bytes& data);

}  // namespace assetgen
