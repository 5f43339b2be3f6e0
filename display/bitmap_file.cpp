// LoadBitmapFile and friends. The loader checks every size against the file before it reads or
// allocates, builds the new pixels aside and only then replaces the record's contents, so a
// refused file leaves the record exactly as it was.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "display/bitmap.h"

namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint64_t kFileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr uint64_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr uint64_t kBitfieldMaskBytes = 12;

// Random access to the bytes of a file image. Fetch returns a view valid until the next Fetch,
// or null when the range is not wholly inside the file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  virtual const uint8_t* Fetch(uint64_t offset, uint64_t count) = 0;

 protected:
  bool Inside(uint64_t offset, uint64_t count) const { return offset <= Size() && count <= Size() - offset; }
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  const uint8_t* Fetch(uint64_t offset, uint64_t count) override {
    return Inside(offset, count) ? data_ + offset : nullptr;
  }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(const char* name) : file_(std::fopen(name, "rb")) {
    if (file_ != nullptr && std::fseek(file_, 0, SEEK_END) == 0) {
      long end = std::ftell(file_);
      size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
  }
  ~FileSource() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool is_open() const { return file_ != nullptr; }
  uint64_t Size() const override { return size_; }
  const uint8_t* Fetch(uint64_t offset, uint64_t count) override {
    if (!Inside(offset, count)) return nullptr;
    block_.reset(new (std::nothrow) uint8_t[count ? count : 1]);
    if (!block_) return nullptr;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return nullptr;
    if (std::fread(block_.get(), 1, count, file_) != count) return nullptr;
    return block_.get();
  }

 private:
  std::FILE* file_;
  uint64_t size_ = 0;
  std::unique_ptr<uint8_t[]> block_;
};

// Where everything lies in the file, once the headers have been found sane.
struct BitmapLayout {
  uint64_t rows;
  bool top_down;
  uint64_t palette_offset;
  uint64_t palette_entries;  // 8-bit files only
  uint64_t pixel_offset;
  uint64_t file_row_bytes;  // padded to a multiple of 4
  uint64_t pixel_bytes;     // file_row_bytes * rows
  uint64_t needed_bytes;    // what the rows are read from: the last row's padding may be missing
};

bool PlanLayout(const BITMAPFILEHEADER& file, const BITMAPINFOHEADER& info, uint64_t file_size, BitmapLayout* layout) {
  const int bits = info.biBitCount;
  if (bits != 8 && bits != 16 && bits != 24) return false;
  if (info.biCompression != kCompressionRgb && !(info.biCompression == kCompressionBitfields && bits == 16))
    return false;
  if (info.biSize < kInfoHeaderBytes || info.biSize > file_size - kFileHeaderBytes) return false;
  if (info.biWidth <= 0 || info.biWidth > BITMAP_MAX_DIMENSION) return false;
  const int64_t height = info.biHeight;
  if (height == 0 || height > BITMAP_MAX_DIMENSION || height < -BITMAP_MAX_DIMENSION) return false;

  layout->top_down = height < 0;
  layout->rows = static_cast<uint64_t>(height < 0 ? -height : height);
  layout->palette_offset = kFileHeaderBytes + info.biSize;
  uint64_t after_headers = layout->palette_offset;
  if (info.biCompression == kCompressionBitfields && info.biSize == kInfoHeaderBytes)
    after_headers += kBitfieldMaskBytes;
  layout->palette_entries = 0;
  if (bits == 8) {
    layout->palette_entries = (info.biClrUsed == 0 || info.biClrUsed > 256) ? 256 : info.biClrUsed;
    after_headers += layout->palette_entries * 4;
  }
  // A zero offset means the rows follow the headers and the palette directly.
  layout->pixel_offset = file.bfOffBits != 0 ? file.bfOffBits : after_headers;
  if (layout->pixel_offset < layout->palette_offset) return false;
  if (bits == 8) {
    // All 256 entries are read whatever biClrUsed says, as far as the file stores them: writers
    // that store fewer end the palette where the pixels start, and pixels are never colours.
    const uint64_t room = (layout->pixel_offset - layout->palette_offset) / 4;
    layout->palette_entries = std::min<uint64_t>(256, room);
  }
  layout->file_row_bytes = (static_cast<uint64_t>(info.biWidth) * bits + 31) / 32 * 4;
  layout->pixel_bytes = layout->file_row_bytes * layout->rows;
  // Some writers leave out the padding after the last row; its pixels are all there is to read.
  layout->needed_bytes =
      layout->file_row_bytes * (layout->rows - 1) + (static_cast<uint64_t>(info.biWidth) * bits + 7) / 8;
  return layout->pixel_offset <= file_size && layout->needed_bytes <= file_size - layout->pixel_offset;
}

void ConvertPalette(const uint8_t* file_entries, uint64_t count, PALETTEENTRY* palette) {
  for (uint64_t i = 0; i < 256; ++i) {
    if (i < count) {
      const uint8_t* entry = file_entries + 4 * i;  // blue, green, red, reserved
      palette[i] = {entry[2], entry[1], entry[0], PC_NOCOLLAPSE};
    } else {
      palette[i] = {0, 0, 0, PC_NOCOLLAPSE};
    }
  }
}

// 24-bit blue, green, red triples into 16-bit words of the display's format: 5.5.5 when
// pixel_format is 15, 5.6.5 for 16 and for anything else (an 8-bit display included).
void ConvertRow24(const uint8_t* source, uint64_t pixels, uint16_t* dest) {
  const bool rgb555 = pixel_format == 15;
  for (uint64_t i = 0; i < pixels; ++i, source += 3) {
    const uint32_t b = source[0], g = source[1], r = source[2];
    dest[i] = rgb555 ? PackRgb555(r, g, b) : PackRgb565(r, g, b);
  }
}

int LoadFromSource(BitmapFile* bitmap, ByteSource& source) {
  const uint64_t size = source.Size();
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  const uint8_t* bytes = source.Fetch(0, kFileHeaderBytes);
  if (bytes == nullptr) return 0;
  std::memcpy(&file, bytes, sizeof(file));
  if (file.bfType != BITMAP_ID) return 0;
  bytes = source.Fetch(kFileHeaderBytes, kInfoHeaderBytes);
  if (bytes == nullptr) return 0;
  std::memcpy(&info, bytes, sizeof(info));

  BitmapLayout layout{};
  if (!PlanLayout(file, info, size, &layout)) return 0;

  PALETTEENTRY palette[256];
  if (info.biBitCount == 8) {
    bytes = source.Fetch(layout.palette_offset, layout.palette_entries * 4);
    if (bytes == nullptr) return 0;
    ConvertPalette(bytes, layout.palette_entries, palette);
  }

  const uint64_t out_pixel_bytes = info.biBitCount == 8 ? 1 : 2;
  const uint64_t out_row_bytes = static_cast<uint64_t>(info.biWidth) * out_pixel_bytes;
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[out_row_bytes * layout.rows]);
  if (!pixels) return 0;
  const uint8_t* rows = source.Fetch(layout.pixel_offset, layout.needed_bytes);
  if (rows == nullptr) return 0;
  for (uint64_t row = 0; row < layout.rows; ++row) {
    // The file stores the bottom row first unless its height was negative.
    const uint8_t* from = rows + (layout.top_down ? row : layout.rows - 1 - row) * layout.file_row_bytes;
    uint8_t* to = pixels.get() + row * out_row_bytes;
    if (info.biBitCount == 24) {
      uint16_t converted[BITMAP_MAX_DIMENSION];
      ConvertRow24(from, static_cast<uint64_t>(info.biWidth), converted);
      std::memcpy(to, converted, out_row_bytes);
    } else {
      std::memcpy(to, from, out_row_bytes);
    }
  }

  // Everything checked and built: now replace the record's contents.
  delete[] bitmap->buffer;
  bitmap->buffer = pixels.release();
  bitmap->file_header = file;
  bitmap->info_header = info;
  bitmap->info_header.biHeight = static_cast<int32_t>(layout.rows);
  if (info.biSizeImage == 0) bitmap->info_header.biSizeImage = static_cast<uint32_t>(layout.pixel_bytes);
  if (info.biBitCount == 24) bitmap->info_header.biBitCount = 16;
  if (info.biBitCount == 8) std::memcpy(bitmap->palette, palette, sizeof(palette));
  return 1;
}

}  // namespace

int LoadBitmapFile(BitmapFile* bitmap, const char* name) {
  if (bitmap == nullptr || name == nullptr) return 0;
  FileSource source(name);
  if (!source.is_open()) return 0;
  return LoadFromSource(bitmap, source);
}

int LoadBitmapMemory(BitmapFile* bitmap, const uint8_t* data, size_t size) {
  if (bitmap == nullptr || data == nullptr) return 0;
  MemorySource source(data, size);
  return LoadFromSource(bitmap, source);
}

int UnloadBitmapFile(BitmapFile* bitmap) {
  if (bitmap == nullptr) return 0;
  delete[] bitmap->buffer;
  bitmap->buffer = nullptr;
  return 1;
}

int FlipBitmapRows(uint8_t* buffer, int32_t bytes_per_row, int32_t rows) {
  if (buffer == nullptr || bytes_per_row < 0 || rows < 0) return 0;
  const size_t row_bytes = static_cast<size_t>(bytes_per_row);
  const size_t total = row_bytes * static_cast<size_t>(rows);
  std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[total ? total : 1]);
  if (!copy) return 0;
  std::memcpy(copy.get(), buffer, total);
  for (size_t row = 0; row < static_cast<size_t>(rows); ++row)
    std::memcpy(buffer + (rows - 1 - row) * row_bytes, copy.get() + row * row_bytes, row_bytes);
  return 1;
}
