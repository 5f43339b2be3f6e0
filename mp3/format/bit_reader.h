#pragma once
// A most-significant-bit-first reader over a byte range that never reads past its limit:
// header fields come from untrusted files, so every read is checked.
#include <cstddef>
#include <cstdint>

class BitReader {
 public:
  // Reads `bit_count` bits starting `bit_offset` bits into `data`.
  BitReader(const uint8_t* data, size_t bit_offset, size_t bit_count)
      : data_(data), start_(bit_offset), end_(bit_offset + bit_count), pos_(bit_offset) {}

  size_t Left() const { return end_ - pos_; }
  size_t Position() const { return pos_; }
  void Restore(size_t position) { pos_ = position < start_ ? start_ : (position > end_ ? end_ : position); }
  // Moves by `bits` (negative: back); false (and no move) when that leaves the range.
  bool Skip(long bits) {
    long target = static_cast<long>(pos_) + bits;
    if (target < static_cast<long>(start_) || target > static_cast<long>(end_)) return false;
    pos_ = static_cast<size_t>(target);
    return true;
  }
  // Up to 32 bits; false (and nothing consumed) when fewer remain.
  bool Read(unsigned bits, uint32_t* value) {
    if (bits > 32 || bits > Left()) return false;
    uint32_t v = 0;
    for (unsigned i = 0; i < bits; ++i, ++pos_) v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
    *value = v;
    return true;
  }
  // Read that yields 0 when the bits are missing (callers check Left() first).
  uint32_t Get(unsigned bits) {
    uint32_t v = 0;
    return Read(bits, &v) ? v : 0;
  }

 private:
  const uint8_t* data_;
  size_t start_;
  size_t end_;
  size_t pos_;
};
