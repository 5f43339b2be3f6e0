#include "platform/present.h"

#include <png.h>

#include <cstdio>
#include <mutex>

#include "platform/backend.h"

namespace platform {
namespace {
std::mutex present_lock;
Surface* shown_primary = nullptr;
Frame last_frame;

void ConvertToRgb(const Surface* surface, Frame* frame) {
  frame->width = surface->width();
  frame->height = surface->height();
  frame->rgb.resize(static_cast<size_t>(frame->width) * frame->height * 3);
  uint8_t* out = frame->rgb.data();
  if (surface->bits_per_pixel() == 8) {
    uint8_t lut[256][3] = {};
    Palette* palette = surface->palette() ? surface->palette() : ShownPalette();
    if (palette)
      for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries()[i];
        lut[i][0] = e.red;
        lut[i][1] = e.green;
        lut[i][2] = e.blue;
      }
    for (int y = 0; y < frame->height; ++y) {
      const uint8_t* in = surface->pixels() + static_cast<size_t>(y) * surface->pitch();
      for (int x = 0; x < frame->width; ++x, out += 3) {
        const uint8_t* c = lut[in[x]];
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
      }
    }
    return;
  }
  for (int y = 0; y < frame->height; ++y) {
    const auto* in = reinterpret_cast<const uint16_t*>(surface->pixels() + static_cast<size_t>(y) * surface->pitch());
    for (int x = 0; x < frame->width; ++x, out += 3) {
      uint16_t p = in[x];
      out[0] = static_cast<uint8_t>(((p >> 11) & 31) * 255 / 31);
      out[1] = static_cast<uint8_t>(((p >> 5) & 63) * 255 / 63);
      out[2] = static_cast<uint8_t>((p & 31) * 255 / 31);
    }
  }
}
}  // namespace

Palette* ShownPalette() { return shown_primary ? shown_primary->palette() : nullptr; }

void SetShownPrimary(Surface* primary) {
  std::lock_guard<std::mutex> guard(present_lock);
  shown_primary = primary;
}

Surface* ShownPrimary() { return shown_primary; }

void ForgetSurface(const Surface* surface) {
  std::lock_guard<std::mutex> guard(present_lock);
  if (shown_primary == surface) shown_primary = nullptr;
}

void PresentSurface(const Surface* surface) {
  if (!IsHeadless()) {
    // The window shows it; the RGB copy is made only when somebody asks for it.
    sdl::ShowSurface(surface, surface->palette() ? surface->palette() : ShownPalette());
    std::lock_guard<std::mutex> guard(present_lock);
    ++last_frame.number;
    last_frame.width = 0;
    return;
  }
  uint64_t number;
  {
    std::lock_guard<std::mutex> guard(present_lock);
    ConvertToRgb(surface, &last_frame);
    number = ++last_frame.number;
  }
  headless::RunPresentHook(number);
}

void ConvertSurfaceToRgb(const Surface* surface, Frame* frame) { ConvertToRgb(surface, frame); }

const Frame& LastPresentedFrame() {
  std::lock_guard<std::mutex> guard(present_lock);
  if (!IsHeadless() && last_frame.number != 0 && last_frame.width == 0) {
    uint64_t number = last_frame.number;
    sdl::ReadScreen(&last_frame);
    last_frame.number = number;
  }
  return last_frame;
}

bool SaveLastFramePng(const char* path) {
  LastPresentedFrame();
  std::lock_guard<std::mutex> guard(present_lock);
  if (!path || last_frame.number == 0 || last_frame.width == 0) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, last_frame.width, last_frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < last_frame.height; ++y)
    png_write_row(png, last_frame.rgb.data() + static_cast<size_t>(y) * last_frame.width * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace platform
