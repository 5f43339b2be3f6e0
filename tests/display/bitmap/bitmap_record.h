#pragma once
// Zero-filled records that release what they hold when the test ends.
#include "display/bitmap.h"

struct LoadedBitmap {
  BitmapFile record{};
  LoadedBitmap() = default;
  LoadedBitmap(const LoadedBitmap&) = delete;
  LoadedBitmap& operator=(const LoadedBitmap&) = delete;
  ~LoadedBitmap() { UnloadBitmapFile(&record); }
};

struct OwnedImage {
  BitmapImage record{};
  OwnedImage() = default;
  OwnedImage(const OwnedImage&) = delete;
  OwnedImage& operator=(const OwnedImage&) = delete;
  ~OwnedImage() {
    if (record.pixels) DestroyBitmapImage(&record);
  }
};
