#pragma once
// .BMP files in memory (BitmapFile) and plain-memory pictures with a position (BitmapImage).
#include <cstddef>
#include <cstdint>

#include "display/display.h"

// The two headers exactly as they are laid out in the file (little-endian). The file header
// must be packed to be 14 bytes; the info header's fields align by themselves, and keeping it
// unpacked keeps them aligned inside BitmapFile.
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  uint16_t bfType;  // "BM"
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;  // offset of the pixel rows from the start of the file
};
#pragma pack(pop)
struct BITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;  // negative in the file for top-down rows; positive once loaded
  uint16_t biPlanes;
  uint16_t biBitCount;  // 8, 16 or 24 in the file; 16 once a 24-bit file is loaded
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(BITMAPINFOHEADER) == 40);

constexpr uint16_t BITMAP_ID = 0x4D42;
constexpr uint8_t PC_NOCOLLAPSE = 4;
// Loader limit for either dimension; larger files are refused.
constexpr int32_t BITMAP_MAX_DIMENSION = 16384;

struct BitmapFile {
  BITMAPFILEHEADER file_header;
  BITMAPINFOHEADER info_header;
  PALETTEENTRY palette[256];  // red, green, blue, flags (PC_NOCOLLAPSE)
  // biHeight rows of biWidth pixels, top row first: 1 byte per pixel for 8-bit files, 2 bytes
  // for 16- and 24-bit files. Owned by the record; null when unloaded.
  uint8_t* buffer;
};

constexpr int32_t BITMAP_IMAGE_LOADED = 128;

struct BitmapImage {
  int32_t active;
  int32_t attributes;
  int32_t x, y;
  int32_t width, height;
  int32_t byte_count;  // width * height * (bits_per_pixel >> 3)
  int32_t bits_per_pixel;
  uint8_t* pixels;  // height rows of exactly width pixels, owned by the record
};

// 1 on success; 0 when the file cannot be opened or is not a well-formed uncompressed BMP of
// 8, 16 or 24 bits. A refused file leaves the whole record as it was.
int LoadBitmapFile(BitmapFile* bitmap, const char* name);
// The same loader over a file image already in memory.
int LoadBitmapMemory(BitmapFile* bitmap, const uint8_t* data, size_t size);
int UnloadBitmapFile(BitmapFile* bitmap);
int FlipBitmapRows(uint8_t* buffer, int32_t bytes_per_row, int32_t rows);

int CreateBitmapImage(BitmapImage* image, int32_t x, int32_t y, int32_t width, int32_t height, int32_t bpp);
int DestroyBitmapImage(BitmapImage* image);
// mode 0: (cx, cy) are cell numbers; otherwise a pixel position. 0 when the rectangle does not
// lie inside the bitmap or the pixel depths differ.
int LoadBitmapImage(BitmapImage* image, const BitmapFile* bitmap, int32_t cx, int32_t cy, int32_t mode);
int LoadBitmapImage16(BitmapImage* image, const BitmapFile* bitmap, int32_t cx, int32_t cy, int32_t mode);
// Copies the image into a locked buffer at (x, y); transparent != 0 skips pixels of value 0.
int DrawBitmapImage(const BitmapImage* image, uint8_t* dest, int32_t pitch, int32_t transparent);
int DrawBitmapImage16(const BitmapImage* image, uint8_t* dest, int32_t pitch, int32_t transparent);
int CopyBitmapImageRegion(BitmapImage* dest, int32_t dx, int32_t dy, const BitmapImage* src, int32_t sx, int32_t sy,
                          int32_t width, int32_t height);
int LoadSurfaceCell(const BitmapFile* bitmap, DisplaySurface* surface, int32_t cx, int32_t cy);
// Rotates every row horizontally by dx; dy is accepted but not applied.
int ScrollBitmapImage(BitmapImage* image, int32_t dx, int32_t dy);
