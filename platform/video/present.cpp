#include "platform/video/present.h"

#include <png.h>

#include <cstdio>
#include <mutex>

#include "platform/backend.h"
#include "platform/video/video_backend.h"

namespace platform {
namespace {
std::mutex present_lock;
Surface* shown_primary = nullptr;

// The last presented picture, as RGB once somebody asks for it: presenting only hands the
// picture to the backend.
Frame last_frame;
bool frame_converted = true;
}  // namespace

void ConvertPixels(const uint8_t* pixels, int width, int height, int bpp, int pitch, const PaletteEntries* palette,
                   Frame* frame) {
  frame->width = width;
  frame->height = height;
  frame->rgb.resize(static_cast<size_t>(width) * height * 3);
  uint8_t* out = frame->rgb.data();
  if (bpp == 8) {
    uint8_t lut[256][3] = {};
    if (palette)
      for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = (*palette)[i];
        lut[i][0] = e.red;
        lut[i][1] = e.green;
        lut[i][2] = e.blue;
      }
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
      for (int x = 0; x < width; ++x, out += 3) {
        const uint8_t* c = lut[in[x]];
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
      }
    }
    return;
  }
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const uint16_t*>(pixels + static_cast<size_t>(y) * pitch);
    for (int x = 0; x < width; ++x, out += 3) {
      uint16_t p = in[x];
      out[0] = static_cast<uint8_t>(((p >> 11) & 31) * 255 / 31);
      out[1] = static_cast<uint8_t>(((p >> 5) & 63) * 255 / 63);
      out[2] = static_cast<uint8_t>((p & 31) * 255 / 31);
    }
  }
}

namespace {
const Palette* PaletteOf(const Surface* surface) { return surface->palette() ? surface->palette() : ShownPalette(); }

// Brings last_frame up to date (called with present_lock held).
void ConvertKeptFrame() {
  if (frame_converted) return;
  uint64_t number = last_frame.number;
  Video().capture(&last_frame);
  last_frame.number = number;
  frame_converted = true;
}

// libpng reports errors by longjmp; nothing here changes after setjmp, so no local is clobbered.
bool WritePng(FILE* file, const Frame& frame) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < frame.height; ++y)
    png_write_row(png, frame.rgb.data() + static_cast<size_t>(y) * frame.width * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
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

const VideoBackend& Video() {
  static const VideoBackend& chosen = BackendTable(kSdlVideo, kHeadlessVideo);
  return chosen;
}

void PresentSurface(const Surface* surface) {
  uint64_t number;
  {
    // The RGB copy is made only when somebody asks for it.
    std::lock_guard<std::mutex> guard(present_lock);
    Video().show(surface, PaletteOf(surface));
    frame_converted = false;
    number = ++last_frame.number;
  }
  SampleLatchedKeys();
  RunPresentHook(number);
}

void RefreshShownPicture() {
  std::lock_guard<std::mutex> guard(present_lock);
  if (!shown_primary) return;
  Video().show(shown_primary, PaletteOf(shown_primary));
  frame_converted = false;
}

void ConvertSurfaceToRgb(const Surface* surface, Frame* frame) {
  const Palette* palette = PaletteOf(surface);
  ConvertPixels(surface->pixels(), surface->width(), surface->height(), surface->bits_per_pixel(), surface->pitch(),
                palette ? &palette->entries() : nullptr, frame);
}

const Frame& LastPresentedFrame() {
  std::lock_guard<std::mutex> guard(present_lock);
  ConvertKeptFrame();
  return last_frame;
}

bool SaveLastFramePng(const char* path) {
  std::lock_guard<std::mutex> guard(present_lock);
  ConvertKeptFrame();
  if (!path || last_frame.number == 0 || last_frame.width == 0) return false;
  return WriteFramePng(path, last_frame);
}

bool WriteFramePng(const char* path, const Frame& frame) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  bool written = WritePng(file, frame);
  return std::fclose(file) == 0 && written;
}

}  // namespace platform
