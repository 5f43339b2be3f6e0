#pragma once
// Takes numbers and blocks off the front of a fuzz input; past its end every read gives 0 or
// an empty block, so a harness never needs to check the length itself.
#include <cstddef>
#include <cstdint>

class InputBytes {
 public:
  InputBytes(const uint8_t* data, size_t size) : data_(data), left_(size) {}

  uint8_t Byte() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }
  uint32_t U32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t(Byte()) << (8 * i);
    return value;
  }
  // Up to `size` bytes as one block (fewer at the end of the input).
  const uint8_t* Block(size_t size, size_t* got) {
    *got = size < left_ ? size : left_;
    const uint8_t* block = data_;
    data_ += *got;
    left_ -= *got;
    return block;
  }
  size_t left() const { return left_; }

 private:
  const uint8_t* data_;
  size_t left_;
};
