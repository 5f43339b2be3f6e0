#pragma once
// Position arithmetic of seeking: bytes to milliseconds and back, through the Xing table of
// contents when the stream has one, linearly otherwise. All divisions are guarded, so an empty
// stream or a zero length gives 0 instead of a fault.
#include <cstdint>

struct SeekGeometry {
  uint32_t data_size = 0;          // D: bytes of audio data
  uint32_t song_length_ms = 0;     // length of the song
  const uint8_t* toc = nullptr;    // 100-byte Xing table of contents, or null
  uint32_t xing_frame_length = 0;  // bytes of the Xing frame itself
};

// Positions and lengths are computed in 64 bits; a result returned in a 32-bit field
// saturates at its largest value instead of wrapping.
inline uint32_t Saturate32(uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(value); }
// value * numerator / denominator, rounded half up, saturated; 0 when the denominator is 0.
uint32_t ScaleSaturated(uint64_t value, uint64_t numerator, uint64_t denominator);

// Target byte of a byte seek (move methods MOVE_*), from `bytes` and the current byte position.
uint32_t SeekTargetByte(int move_method, uint32_t bytes, uint32_t position, uint32_t data_size);
// The play time at byte m of the data.
uint32_t ByteToMs(const SeekGeometry& geometry, uint32_t m);
// Target time of a time seek, from `ms` and the current position in ms.
uint32_t SeekTargetMs(int move_method, uint32_t ms, uint32_t position_ms, uint32_t song_length_ms);
// The byte offset into the data where time r starts (r within the song).
uint32_t MsToByte(const SeekGeometry& geometry, uint32_t r);
