#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "display/bitmap.h"
#include "tests/display/bitmap/bitmap_record.h"
#include "tests/display/bitmap/bmp_builder.h"

namespace {

BmpSpec FourByTwo() {
  BmpSpec spec;
  spec.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  spec.palette[5] = {10, 20, 30, 0};
  return spec;
}

std::vector<uint8_t> BufferOf(const BitmapFile& bitmap) {
  const int bytes = bitmap.info_header.biBitCount / 8;
  const size_t size = static_cast<size_t>(bitmap.info_header.biWidth) * bitmap.info_header.biHeight * bytes;
  return std::vector<uint8_t>(bitmap.buffer, bitmap.buffer + size);
}

// What a loaded plain-layout picture must hold: its pixels, 24-bit ones as 5.6.5 words.
std::vector<uint8_t> ExpectedBuffer(const BmpSpec& spec) {
  if (spec.bits != 24) return spec.pixels;
  std::vector<uint8_t> words;
  for (size_t i = 0; i + 2 < spec.pixels.size(); i += 3) {
    const uint16_t word = PackRgb565(spec.pixels[i + 2], spec.pixels[i + 1], spec.pixels[i]);
    words.push_back(static_cast<uint8_t>(word));
    words.push_back(static_cast<uint8_t>(word >> 8));
  }
  return words;
}

}  // namespace

TEST(BitmapFile, LoadsPaletteInPlatformOrderAndRowsTopDown) {
  const std::vector<uint8_t> file = BuildBmp(FourByTwo());
  const std::string path = testing::TempDir() + "four_by_two.bmp";
  ASSERT_TRUE(WriteFileBytes(path, file));

  LoadedBitmap from_file, from_memory;
  ASSERT_EQ(LoadBitmapFile(&from_file.record, path.c_str()), 1);
  ASSERT_EQ(LoadBitmapMemory(&from_memory.record, file.data(), file.size()), 1);
  for (const BitmapFile* bitmap : {&from_file.record, &from_memory.record}) {
    // Stored bottom row first: (5, 6, 7, 8) then (1, 2, 3, 4).
    EXPECT_EQ(BufferOf(*bitmap), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    const PALETTEENTRY& entry = bitmap->palette[5];
    EXPECT_EQ(entry.red, 30);
    EXPECT_EQ(entry.green, 20);
    EXPECT_EQ(entry.blue, 10);
    EXPECT_EQ(entry.flags, PC_NOCOLLAPSE);
    EXPECT_EQ(bitmap->palette[200].flags, PC_NOCOLLAPSE);
    EXPECT_EQ(bitmap->file_header.bfType, BITMAP_ID);
    EXPECT_EQ(bitmap->info_header.biWidth, 4);
    EXPECT_EQ(bitmap->info_header.biHeight, 2);
    EXPECT_EQ(bitmap->info_header.biBitCount, 8);
  }
  EXPECT_EQ(UnloadBitmapFile(&from_file.record), 1);
  EXPECT_EQ(from_file.record.buffer, nullptr);
  EXPECT_EQ(from_file.record.palette[5].red, 30) << "the palette outlives the pixels";
  EXPECT_EQ(UnloadBitmapFile(&from_file.record), 1);
}

// Padding, pixel offsets, a zero image size, top-down rows, short palettes and larger info
// headers must all yield what the plain layout yields.
TEST(BitmapFile, EveryLayoutOfTheSamePictureLoadsTheSame) {
  const int32_t saved_format = pixel_format;
  pixel_format = 16;
  for (int bits : {8, 16, 24}) {
    for (int32_t width : {1, 2, 3, 5, 8, 13}) {
      BmpSpec plain;
      plain.width = width;
      plain.height = 3;
      plain.bits = bits;
      plain.pixels = PatternPixels(width, 3, bits / 8);
      for (int i = 0; i < 256; ++i) plain.palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
      const std::vector<uint8_t> plain_file = BuildBmp(plain);
      LoadedBitmap reference;
      ASSERT_EQ(LoadBitmapMemory(&reference.record, plain_file.data(), plain_file.size()), 1);
      EXPECT_EQ(BufferOf(reference.record), ExpectedBuffer(plain));

      std::vector<BmpSpec> variants(6, plain);
      variants[0].top_down = true;
      variants[1].size_image_zero = true;
      variants[2].gap = 7;
      variants[3].info_size = 124;
      variants[4].offset_zero = true;
      variants[5].top_down = variants[5].size_image_zero = true;
      variants[5].gap = 3;
      for (size_t v = 0; v < variants.size(); ++v) {
        SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(width) + " variant " +
                     std::to_string(v));
        const std::vector<uint8_t> file = BuildBmp(variants[v]);
        LoadedBitmap loaded;
        ASSERT_EQ(LoadBitmapMemory(&loaded.record, file.data(), file.size()), 1);
        EXPECT_EQ(loaded.record.info_header.biHeight, 3);
        EXPECT_EQ(BufferOf(loaded.record), BufferOf(reference.record));
        EXPECT_EQ(std::memcmp(loaded.record.palette, reference.record.palette, sizeof(reference.record.palette)), 0);
      }
    }
  }
  pixel_format = saved_format;
}

TEST(BitmapFile, ShortPaletteFillsTheRestWithBlack) {
  BmpSpec spec = FourByTwo();
  spec.palette.resize(6);
  spec.clr_used = 6;
  const std::vector<uint8_t> file = BuildBmp(spec);
  LoadedBitmap loaded;
  std::memset(loaded.record.palette, 0x77, sizeof(loaded.record.palette));
  ASSERT_EQ(LoadBitmapMemory(&loaded.record, file.data(), file.size()), 1);
  EXPECT_EQ(loaded.record.palette[5].red, 30);
  EXPECT_EQ(loaded.record.palette[6].red, 0);
  EXPECT_EQ(loaded.record.palette[255].blue, 0);
  EXPECT_EQ(loaded.record.palette[255].flags, PC_NOCOLLAPSE);
  EXPECT_EQ(BufferOf(loaded.record), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));

  // A count below 256 with all 256 entries stored: every stored entry counts (the game's HUD
  // and text colours sit at 249..255).
  BmpSpec declared_short = FourByTwo();
  declared_short.palette[255] = {1, 2, 3, 0};
  declared_short.clr_used = 16;
  const std::vector<uint8_t> full = BuildBmp(declared_short);
  LoadedBitmap all;
  ASSERT_EQ(LoadBitmapMemory(&all.record, full.data(), full.size()), 1);
  EXPECT_EQ(all.record.palette[255].red, 3);
  EXPECT_EQ(all.record.palette[255].green, 2);
  EXPECT_EQ(all.record.palette[255].blue, 1);
  EXPECT_EQ(BufferOf(all.record), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(BitmapFile, TwentyFourBitPixelsBecomeWordsOfTheDisplayFormat) {
  BmpSpec spec;
  spec.width = 3;
  spec.height = 1;
  spec.bits = 24;
  // blue, green, red per pixel
  spec.pixels = {255, 255, 255, 8, 4, 8, 0x10, 0x20, 0x30};
  const std::vector<uint8_t> file = BuildBmp(spec);
  const int32_t saved_format = pixel_format;
  auto words = [&](int32_t format) {
    pixel_format = format;
    LoadedBitmap loaded;
    EXPECT_EQ(LoadBitmapMemory(&loaded.record, file.data(), file.size()), 1);
    EXPECT_EQ(loaded.record.info_header.biBitCount, 16);
    std::vector<uint16_t> out(3);
    std::memcpy(out.data(), loaded.record.buffer, 6);
    return out;
  };
  EXPECT_EQ(words(15), (std::vector<uint16_t>{0x7FFF, (1 << 10) | 1, (6 << 10) | (4 << 5) | 2}));
  EXPECT_EQ(words(16), (std::vector<uint16_t>{0xFFFF, 0x0821, (6 << 11) | (8 << 5) | 2}));
  EXPECT_EQ(words(8), words(16)) << "an 8-bit display converts as 5.6.5";
  pixel_format = saved_format;
}

TEST(BitmapFile, ReloadingReplacesThePixelsAndSixteenBitKeepsThePalette) {
  LoadedBitmap loaded;
  const std::vector<uint8_t> eight = BuildBmp(FourByTwo());
  ASSERT_EQ(LoadBitmapMemory(&loaded.record, eight.data(), eight.size()), 1);
  BmpSpec words;
  words.bits = 16;
  words.width = 2;
  words.height = 1;
  words.pixels = {0x34, 0x12, 0x78, 0x56};
  const std::vector<uint8_t> sixteen = BuildBmp(words);
  ASSERT_EQ(LoadBitmapMemory(&loaded.record, sixteen.data(), sixteen.size()), 1);
  EXPECT_EQ(BufferOf(loaded.record), words.pixels);
  EXPECT_EQ(loaded.record.palette[5].red, 30) << "only 8-bit files carry a palette";
}

// Writers that leave out the padding after the last stored row: every pixel is there, so the
// file loads as the padded one does; one byte fewer is a truncated file.
TEST(BitmapFile, MissingPaddingAfterTheLastRowIsTolerated) {
  for (int bits : {8, 24}) {
    SCOPED_TRACE("bits " + std::to_string(bits));
    BmpSpec spec;
    spec.width = bits == 8 ? 3 : 1;  // rows of 3 bytes padded to 4
    spec.height = 2;
    spec.bits = bits;
    spec.pixels = PatternPixels(spec.width, 2, bits / 8);
    spec.size_image_zero = true;
    const std::vector<uint8_t> padded = BuildBmp(spec);
    LoadedBitmap reference, unpadded, truncated;
    ASSERT_EQ(LoadBitmapMemory(&reference.record, padded.data(), padded.size()), 1);
    const std::vector<uint8_t> short_file(padded.begin(), padded.end() - 1);
    ASSERT_EQ(LoadBitmapMemory(&unpadded.record, short_file.data(), short_file.size()), 1);
    EXPECT_EQ(BufferOf(unpadded.record), BufferOf(reference.record));
    const std::vector<uint8_t> shorter(padded.begin(), padded.end() - 2);
    EXPECT_EQ(LoadBitmapMemory(&truncated.record, shorter.data(), shorter.size()), 0);
  }
}

// Every way a file can be broken: the load fails and the record keeps everything it held,
// byte for byte, pixel buffer included.
TEST(BitmapFile, MalformedFilesFailAndLeaveTheRecordUntouched) {
  const std::vector<uint8_t> good = BuildBmp(FourByTwo());
  auto damaged = [&](size_t offset, uint64_t value, int bytes) {
    std::vector<uint8_t> file = good;
    PokeLe(file, offset, value, bytes);
    return file;
  };
  std::vector<std::pair<std::string, std::vector<uint8_t>>> corpus = {
      {"empty", {}},
      {"wrong magic", damaged(0, 0x4D43, 2)},
      {"magic reversed", damaged(0, 0x424D, 2)},
      {"zero width", damaged(bmp_field::kWidth, 0, 4)},
      {"negative width", damaged(bmp_field::kWidth, uint32_t(-4), 4)},
      {"zero height", damaged(bmp_field::kHeight, 0, 4)},
      {"huge width", damaged(bmp_field::kWidth, 16385, 4)},
      {"huge height", damaged(bmp_field::kHeight, 16385, 4)},
      {"huge top-down height", damaged(bmp_field::kHeight, uint32_t(-16385), 4)},
      {"most negative height", damaged(bmp_field::kHeight, uint32_t(INT32_MIN), 4)},
      {"width times height overflows", damaged(bmp_field::kWidth, 0x7FFFFFFF, 4)},
      {"largest dimensions, tiny file", damaged(bmp_field::kWidth, 16384, 4)},
      {"more rows than the file holds", damaged(bmp_field::kHeight, 3, 4)},
      {"4-bit", damaged(bmp_field::kBitCount, 4, 2)},
      {"32-bit", damaged(bmp_field::kBitCount, 32, 2)},
      {"0-bit", damaged(bmp_field::kBitCount, 0, 2)},
      {"run-length compressed", damaged(bmp_field::kCompression, 1, 4)},
      {"OS/2 core header", damaged(bmp_field::kInfoSize, 12, 4)},
      {"info header larger than the file", damaged(bmp_field::kInfoSize, 0xFFFFFFF0u, 4)},
      {"pixel offset beyond the file", damaged(bmp_field::kOffBits, 0xFFFFFFFFu, 4)},
      {"pixel offset inside the headers", damaged(bmp_field::kOffBits, 20, 4)},
      {"pixel offset leaves rows short", damaged(bmp_field::kOffBits, good.size() - 4, 4)},
  };
  for (size_t length = 0; length < good.size(); ++length)
    corpus.push_back({"truncated to " + std::to_string(length),
                      std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length))});

  BmpSpec previous;
  previous.width = 3;
  previous.height = 3;
  previous.pixels = PatternPixels(3, 3);
  previous.palette[7] = {1, 2, 3, 0};
  const std::vector<uint8_t> previous_file = BuildBmp(previous);
  for (const auto& [name, file] : corpus) {
    SCOPED_TRACE(name);
    LoadedBitmap loaded;
    ASSERT_EQ(LoadBitmapMemory(&loaded.record, previous_file.data(), previous_file.size()), 1);
    const BitmapFile before = loaded.record;
    const std::vector<uint8_t> pixels_before = BufferOf(loaded.record);
    EXPECT_EQ(LoadBitmapMemory(&loaded.record, file.data(), file.size()), 0);
    // Field by field: the record's padding is no part of it.
    EXPECT_EQ(std::memcmp(&before.file_header, &loaded.record.file_header, sizeof(before.file_header)), 0);
    EXPECT_EQ(std::memcmp(&before.info_header, &loaded.record.info_header, sizeof(before.info_header)), 0);
    EXPECT_EQ(std::memcmp(before.palette, loaded.record.palette, sizeof(before.palette)), 0);
    EXPECT_EQ(before.buffer, loaded.record.buffer);
    EXPECT_EQ(BufferOf(loaded.record), pixels_before);
  }
}

TEST(BitmapFile, MissingFilesAndNullArgumentsFail) {
  LoadedBitmap loaded;
  EXPECT_EQ(LoadBitmapFile(&loaded.record, "no such picture.bmp"), 0);
  EXPECT_EQ(LoadBitmapFile(&loaded.record, testing::TempDir().c_str()), 0) << "a directory";
  EXPECT_EQ(LoadBitmapFile(&loaded.record, nullptr), 0);
  EXPECT_EQ(LoadBitmapFile(nullptr, "x.bmp"), 0);
  EXPECT_EQ(LoadBitmapMemory(&loaded.record, nullptr, 10), 0);
  EXPECT_EQ(loaded.record.buffer, nullptr);
  EXPECT_EQ(UnloadBitmapFile(nullptr), 0);
}

TEST(BitmapFile, FlipBitmapRowsReversesTheRowOrder) {
  uint8_t rows[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(FlipBitmapRows(rows, 3, 3), 1);
  EXPECT_EQ(std::vector<uint8_t>(rows, rows + 9), (std::vector<uint8_t>{7, 8, 9, 4, 5, 6, 1, 2, 3}));
  EXPECT_EQ(FlipBitmapRows(rows, 3, 0), 1);
  EXPECT_EQ(FlipBitmapRows(nullptr, 3, 3), 0);
  EXPECT_EQ(FlipBitmapRows(rows, -1, 3), 0);
}
