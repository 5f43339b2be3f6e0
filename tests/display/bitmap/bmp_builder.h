#pragma once
// Writes .BMP file images byte by byte, with every layout choice a writer can make, so the
// loader can be checked against files it did not write itself.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct BmpSpec {
  int32_t width = 4;
  int32_t height = 2;  // rows; stored as a negative height when top_down
  int bits = 8;
  bool top_down = false;
  // Top row first, width * bits / 8 bytes per row, no padding (the builder pads).
  std::vector<uint8_t> pixels;
  // Entries in file order (blue, green, red, reserved); 8-bit files only.
  std::vector<std::array<uint8_t, 4>> palette = std::vector<std::array<uint8_t, 4>>(256);
  uint32_t clr_used = 0;
  bool size_image_zero = false;
  bool offset_zero = false;  // bfOffBits 0: the reader must assume the rows follow directly
  uint32_t gap = 0;          // bytes between the palette and the rows, honoured by bfOffBits
  uint32_t info_size = 40;   // a larger info header (V4/V5) is padded with zeros
};

inline void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void PokeLe(std::vector<uint8_t>& out, size_t offset, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Offsets of the header fields, for tests that damage a file.
namespace bmp_field {
constexpr size_t kSize = 2, kOffBits = 10, kInfoSize = 14, kWidth = 18, kHeight = 22, kBitCount = 28, kCompression = 30,
                 kSizeImage = 34, kClrUsed = 46;
}

inline std::vector<uint8_t> BuildBmp(const BmpSpec& spec) {
  const uint32_t row_bytes = static_cast<uint32_t>(spec.width) * spec.bits / 8;
  const uint32_t padded = (row_bytes + 3) & ~3u;
  const uint32_t palette_bytes = spec.bits == 8 ? static_cast<uint32_t>(spec.palette.size()) * 4 : 0;
  const uint32_t offset = 14 + spec.info_size + palette_bytes + spec.gap;
  const uint32_t image_bytes = padded * static_cast<uint32_t>(spec.height);

  std::vector<uint8_t> out;
  PutLe(out, 0x4D42, 2);
  PutLe(out, offset + image_bytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, spec.offset_zero ? 0 : offset, 4);
  PutLe(out, spec.info_size, 4);
  PutLe(out, static_cast<uint32_t>(spec.width), 4);
  PutLe(out, static_cast<uint32_t>(spec.top_down ? -spec.height : spec.height), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(spec.bits), 2);
  PutLe(out, 0, 4);
  PutLe(out, spec.size_image_zero ? 0 : image_bytes, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, spec.clr_used, 4);
  PutLe(out, 0, 4);
  out.resize(14 + spec.info_size, 0);
  if (spec.bits == 8)
    for (const auto& entry : spec.palette) out.insert(out.end(), entry.begin(), entry.end());
  out.resize(out.size() + spec.gap, 0xEE);
  for (int32_t i = 0; i < spec.height; ++i) {
    const int32_t row = spec.top_down ? i : spec.height - 1 - i;
    const uint8_t* from = spec.pixels.data() + static_cast<size_t>(row) * row_bytes;
    out.insert(out.end(), from, from + row_bytes);
    out.resize(out.size() + (padded - row_bytes), 0xAB);  // padding the reader must skip
  }
  return out;
}

// A w x h picture whose every pixel differs from its neighbours: value (x * 7 + y * 13) & 0xFF.
inline std::vector<uint8_t> PatternPixels(int32_t width, int32_t height, int bytes_per_pixel = 1) {
  std::vector<uint8_t> pixels;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int b = 0; b < bytes_per_pixel; ++b) pixels.push_back(static_cast<uint8_t>(x * 7 + y * 13 + b * 101));
  return pixels;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}
