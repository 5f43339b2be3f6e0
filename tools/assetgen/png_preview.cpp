#include "tools/assetgen/png_preview.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace assetgen {

void WritePngPreview(const std::string& path, const IndexedImage& image, const Palette& palette, int scale) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    throw std::runtime_error("cannot encode " + path);
  }
  const int w = image.width() * scale, h = image.height() * scale;
  png_init_io(png, f);
  png_set_compression_level(png, 3);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb& c = palette[image.At(x / scale, y / scale)];
      row[size_t(x) * 3] = c.r;
      row[size_t(x) * 3 + 1] = c.g;
      row[size_t(x) * 3 + 2] = c.b;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace assetgen
