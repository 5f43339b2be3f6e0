#include "platform/present.h"

#include <png.h>

#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/backend.h"

namespace platform {
namespace {
std::mutex present_lock;
Surface* shown_primary = nullptr;

// The last presented picture. Headless, presenting keeps only a copy of the pixels and the
// palette; the RGB conversion happens when somebody asks for the frame.
Frame last_frame;
bool frame_converted = true;
int kept_width = 0, kept_height = 0, kept_bpp = 8, kept_pitch = 0;
std::vector<uint8_t> kept_pixels;
PaletteEntries kept_palette{};

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

const Palette* PaletteOf(const Surface* surface) { return surface->palette() ? surface->palette() : ShownPalette(); }

// Brings last_frame up to date (called with present_lock held).
void ConvertKeptFrame() {
  if (frame_converted) return;
  if (IsHeadless()) {
    ConvertPixels(kept_pixels.data(), kept_width, kept_height, kept_bpp, kept_pitch, &kept_palette, &last_frame);
  } else {
    uint64_t number = last_frame.number;
    sdl::ReadScreen(&last_frame);
    last_frame.number = number;
  }
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

namespace {
// Headless: keeps the pixels and palette, converted when somebody asks (present_lock held).
void KeepFrame(const Surface* surface) {
  kept_width = surface->width();
  kept_height = surface->height();
  kept_bpp = surface->bits_per_pixel();
  kept_pitch = surface->pitch();
  kept_pixels.assign(surface->pixels(), surface->pixels() + static_cast<size_t>(kept_pitch) * kept_height);
  const Palette* palette = PaletteOf(surface);
  if (palette)
    kept_palette = palette->entries();
  else
    kept_palette.fill({0, 0, 0, 0});
  frame_converted = false;
}
}  // namespace

void PresentSurface(const Surface* surface) {
  if (!IsHeadless()) {
    // The window shows it; the RGB copy is read back only when somebody asks for it.
    sdl::ShowSurface(surface, PaletteOf(surface));
    uint64_t shown_number;
    {
      std::lock_guard<std::mutex> guard(present_lock);
      shown_number = ++last_frame.number;
      frame_converted = false;
    }
    sdl::SampleLatchedKeys();
    headless::RunPresentHook(shown_number);
    return;
  }
  uint64_t number;
  {
    std::lock_guard<std::mutex> guard(present_lock);
    KeepFrame(surface);
    number = ++last_frame.number;
  }
  headless::RunPresentHook(number);
}

void RefreshShownPicture() {
  Surface* primary = nullptr;
  {
    std::lock_guard<std::mutex> guard(present_lock);
    primary = shown_primary;
    if (!primary) return;
    if (IsHeadless()) {
      KeepFrame(primary);
      return;
    }
    frame_converted = false;
  }
  sdl::ShowSurface(primary, PaletteOf(primary));
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
