#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Byte-level helpers shared by the ID3v2 walks. Callers check the length before reading.
namespace id3 {

inline uint32_t BigEndian24(const uint8_t* p) { return (p[0] << 16) | (p[1] << 8) | p[2]; }

inline uint32_t BigEndian32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// Four bytes of 7 bits each. 0x80 is tolerated (its top bit is masked); a byte above it
// makes the number invalid.
inline bool IsSyncsafe(const uint8_t* p) { return p[0] <= 0x80 && p[1] <= 0x80 && p[2] <= 0x80 && p[3] <= 0x80; }
inline uint32_t Syncsafe32(const uint8_t* p) {
  return ((p[0] & 0x7Fu) << 21) | ((p[1] & 0x7Fu) << 14) | ((p[2] & 0x7Fu) << 7) | (p[3] & 0x7Fu);
}

// Undoes unsynchronisation: every 0x00 that follows a 0xFF is removed.
std::vector<uint8_t> Deunsynchronise(std::span<const uint8_t> bytes);

}  // namespace id3
