// The headless display: no window; presenting keeps the picture's pixels and palette, converted
// to RGB only when somebody asks; keys are the ones the caller holds (SetHeldKeys).
#include <atomic>
#include <vector>

#include "platform/video/present.h"
#include "platform/video/video_backend.h"

namespace platform {
namespace {
std::atomic<uint32_t> held_keys{0};

// The kept picture (the present lock guards it).
int kept_width = 0, kept_height = 0, kept_bpp = 8, kept_pitch = 0;
std::vector<uint8_t> kept_pixels;
PaletteEntries kept_palette{};

bool OpenNoWindow(const char*, int, int) { return true; }

void KeepPicture(const Surface* surface, const Palette* palette) {
  kept_width = surface->width();
  kept_height = surface->height();
  kept_bpp = surface->bits_per_pixel();
  kept_pitch = surface->pitch();
  kept_pixels.assign(surface->pixels(), surface->pixels() + static_cast<size_t>(kept_pitch) * kept_height);
  if (palette)
    kept_palette = palette->entries();
  else
    kept_palette.fill({0, 0, 0, 0});
}

bool ConvertKeptPicture(Frame* frame) {
  ConvertPixels(kept_pixels.data(), kept_width, kept_height, kept_bpp, kept_pitch, &kept_palette, frame);
  return true;
}

void NoEvents() {}
bool HeldKey(Key key) { return (held_keys.load() & KeyBit(key)) != 0; }
int NoCursor(bool show) { return show ? 0 : -1; }
}  // namespace

const VideoBackend kHeadlessVideo{OpenNoWindow, KeepPicture, ConvertKeptPicture, NoEvents, HeldKey, NoCursor};

void SetHeldKeys(uint32_t key_mask) { held_keys.store(key_mask); }
uint32_t HeldKeys() { return held_keys.load(); }

}  // namespace platform
