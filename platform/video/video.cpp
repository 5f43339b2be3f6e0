#include "platform/video.h"

#include <algorithm>
#include <cstring>

#include "platform/video/present.h"

namespace platform {

int RefCounted::Release() {
  int left = refs_.fetch_sub(1) - 1;
  if (left == 0) delete this;
  return left;
}

Palette* Palette::Create(const PaletteEntry* entries) {
  auto* palette = new Palette();
  if (entries) std::memcpy(palette->entries_.data(), entries, sizeof(PaletteEntries));
  return palette;
}

void Palette::SetEntries(int first, int count, const PaletteEntry* entries) {
  if (!entries || first < 0 || count <= 0 || first >= 256) return;
  count = std::min(count, 256 - first);
  std::memcpy(&entries_[first], entries, sizeof(PaletteEntry) * count);
  if (ShownPalette() == this) RefreshShownPicture();
}

void Palette::GetEntries(int first, int count, PaletteEntry* out) const {
  if (!out || first < 0 || count <= 0 || first >= 256) return;
  count = std::min(count, 256 - first);
  std::memcpy(out, &entries_[first], sizeof(PaletteEntry) * count);
}

Clipper* Clipper::Create() { return new Clipper(); }

void Clipper::SetClipList(const Rect* rects, int count) {
  rects_.clear();
  bound_ = {64000, 64000, -64000, -64000};
  if (!rects || count <= 0) return;
  rects_.assign(rects, rects + count);
  for (const Rect& r : rects_) {
    bound_.left = std::min(bound_.left, r.left);
    bound_.top = std::min(bound_.top, r.top);
    bound_.right = std::max(bound_.right, r.right);
    bound_.bottom = std::max(bound_.bottom, r.bottom);
  }
}

Surface::Surface(int width, int height, int bpp)
    : width_(width),
      height_(height),
      bpp_(bpp),
      pitch_(((width * (bpp / 8)) + 3) & ~3),
      pixels_(static_cast<size_t>(pitch_) * height, 0) {}

Surface::~Surface() {
  ForgetSurface(this);
  if (back_) back_->Release();
  if (clipper_) clipper_->Release();
  if (palette_) palette_->Release();
}

Surface* Surface::Create(int width, int height, int bits_per_pixel) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
  if (bits_per_pixel != 8 && bits_per_pixel != 16) return nullptr;
  return new Surface(width, height, bits_per_pixel);
}

uint8_t* Surface::Lock(int32_t* pitch) {
  if (locked_) return nullptr;
  locked_ = true;
  if (pitch) *pitch = pitch_;
  return pixels_.data();
}

bool Surface::Unlock() {
  if (!locked_) return false;
  locked_ = false;
  if (is_primary_) RefreshShownPicture();
  return true;
}

void Surface::SetColorKey(uint32_t low, uint32_t high) {
  has_key_ = true;
  key_low_ = low;
  key_high_ = high;
}

void Surface::SetClipper(Clipper* clipper) {
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
}

void Surface::SetPalette(Palette* palette) {
  if (palette) palette->AddRef();
  if (palette_) palette_->Release();
  palette_ = palette;
}

namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
bool Empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

template <typename Pixel>
void FillRect(Surface* surface, const Rect& r, uint32_t color) {
  for (int y = r.top; y < r.bottom; ++y) {
    auto* row = reinterpret_cast<Pixel*>(surface->pixels() + static_cast<size_t>(y) * surface->pitch());
    std::fill(row + r.left, row + r.right, static_cast<Pixel>(color));
  }
}

// Copies the part `visible` of destination rectangle `dst`, which shows source rectangle `src`
// scaled. Source coordinates are computed per destination pixel (nearest neighbour), so a
// clipped stretch shows exactly the pixels the unclipped one would.
template <typename Pixel>
void CopyRect(Surface* dest, const Rect& dst, const Rect& visible, const Surface* source, const Rect& src, bool keyed,
              uint32_t key_low, uint32_t key_high) {
  const int64_t dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int64_t sw = src.right - src.left, sh = src.bottom - src.top;
  const bool same_size = dw == sw && dh == sh;
  for (int y = visible.top; y < visible.bottom; ++y) {
    int sy =
        static_cast<int>(same_size ? src.top + (int64_t{y} - dst.top) : src.top + (int64_t{y} - dst.top) * sh / dh);
    const auto* in = reinterpret_cast<const Pixel*>(source->pixels() + static_cast<size_t>(sy) * source->pitch());
    auto* out = reinterpret_cast<Pixel*>(dest->pixels() + static_cast<size_t>(y) * dest->pitch());
    if (same_size && !keyed) {
      std::memmove(out + visible.left, in + src.left + (int64_t{visible.left} - dst.left),
                   sizeof(Pixel) * (visible.right - visible.left));
      continue;
    }
    for (int x = visible.left; x < visible.right; ++x) {
      int sx = static_cast<int>(same_size ? src.left + (int64_t{x} - dst.left)
                                          : src.left + (int64_t{x} - dst.left) * sw / dw);
      Pixel p = in[sx];
      if (keyed && p >= key_low && p <= key_high) continue;
      out[x] = p;
    }
  }
}

}  // namespace

bool Surface::Blt(const Rect* dst, Surface* src, const Rect* src_rect, uint32_t flags, uint32_t fill_color) {
  if (locked_) return false;
  const Rect bounds{0, 0, width_, height_};
  Rect target = dst ? *dst : bounds;
  if (Empty(target)) return false;
  // Without a clipper nothing cuts a rectangle down to the surface: one that reaches outside
  // is refused, as the display hardware would.
  if (!clipper_ && (target.left < 0 || target.top < 0 || target.right > width_ || target.bottom > height_))
    return false;

  // Runs `draw` on each visible part: the destination clip list (or the surface bounds),
  // always within bounds.
  auto for_each_part = [&](auto&& draw) {
    if (clipper_ && !clipper_->window_bound() && !clipper_->clip_list().empty()) {
      for (const Rect& clip : clipper_->clip_list()) {
        Rect part = Intersect(Intersect(clip, bounds), target);
        if (!Empty(part)) draw(part);
      }
    } else {
      Rect part = Intersect(bounds, target);
      if (!Empty(part)) draw(part);
    }
  };

  if (flags & kBltColorFill) {
    for_each_part([&](const Rect& part) {
      if (bpp_ == 8)
        FillRect<uint8_t>(this, part, fill_color);
      else
        FillRect<uint16_t>(this, part, fill_color);
    });
    if (is_primary_) PresentSurface(this);
    return true;
  }

  if (!src || src->locked_ || src->bpp_ != bpp_) return false;
  Rect from = src_rect ? *src_rect : Rect{0, 0, src->width_, src->height_};
  if (Empty(from) || from.left < 0 || from.top < 0 || from.right > src->width_ || from.bottom > src->height_)
    return false;
  bool keyed = (flags & kBltKeySrc) && src->has_key_;
  for_each_part([&](const Rect& part) {
    if (bpp_ == 8)
      CopyRect<uint8_t>(this, target, part, src, from, keyed, src->key_low_, src->key_high_);
    else
      CopyRect<uint16_t>(this, target, part, src, from, keyed, src->key_low_, src->key_high_);
  });
  if (is_primary_) PresentSurface(this);
  return true;
}

bool Surface::Flip() {
  if (!back_ || locked_ || back_->locked_) return false;
  pixels_.swap(back_->pixels_);
  PresentSurface(this);
  return true;
}

Display* Display::Create() { return new Display(); }

bool Display::SetCooperativeLevel(bool) { return true; }

bool Display::SetDisplayMode(int width, int height, int bits_per_pixel) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  if (bits_per_pixel != 8 && bits_per_pixel != 16) return false;
  width_ = width;
  height_ = height;
  bpp_ = bits_per_pixel;
  return true;
}

Surface* Display::CreatePrimary(int back_buffers) {
  Surface* primary = Surface::Create(width_, height_, bpp_);
  if (!primary) return nullptr;
  primary->is_primary_ = true;
  if (back_buffers > 0) primary->back_ = Surface::Create(width_, height_, bpp_);
  SetShownPrimary(primary);
  return primary;
}

Surface* Display::CreateOffscreen(int width, int height) { return Surface::Create(width, height, bpp_); }

void Display::WaitForVerticalBlank() {}

int SurfacePixelFormatBits(const Surface* surface) { return surface ? surface->bits_per_pixel() : 0; }

}  // namespace platform
