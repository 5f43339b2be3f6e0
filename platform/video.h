#pragma once
// Video: the display object, surfaces in memory, palettes and clippers, with the DirectDraw
// semantics the display layer relies on. Objects are reference counted: Release() drops a
// reference and frees the object at zero, so a surface made by an earlier display object stays
// usable after that display object is gone.
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace platform {

// A rectangle with exclusive right and bottom edges (Win32 RECT).
struct Rect {
  int32_t left, top, right, bottom;
};

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};
using PaletteEntries = std::array<PaletteEntry, 256>;

class RefCounted {  // NOLINT(cppcoreguidelines-virtual-class-destructor): Release() deletes
 public:
  void AddRef() { refs_.fetch_add(1); }
  // Returns the remaining count; the object is deleted at zero.
  int Release();

 protected:
  virtual ~RefCounted() = default;

 private:
  std::atomic<int> refs_{1};
};

class Palette : public RefCounted {
 public:
  static Palette* Create(const PaletteEntry* entries);  // 256 entries
  void SetEntries(int first, int count, const PaletteEntry* entries);
  void GetEntries(int first, int count, PaletteEntry* out) const;
  const PaletteEntries& entries() const { return entries_; }

 private:
  PaletteEntries entries_{};
};

class Clipper : public RefCounted {
 public:
  static Clipper* Create();
  void SetClipList(const Rect* rects, int count);
  const std::vector<Rect>& clip_list() const { return rects_; }
  // The region header's bounding rectangle: starts at (64000, 64000, -64000, -64000) and is
  // widened by every rectangle of the list.
  const Rect& bound() const { return bound_; }
  // Window clippers follow the game window; on our full-window display that is the whole screen.
  void SetWindowBound(bool bound) { window_bound_ = bound; }
  bool window_bound() const { return window_bound_; }

 private:
  std::vector<Rect> rects_;
  Rect bound_{64000, 64000, -64000, -64000};
  bool window_bound_ = false;
};

// Blt flags.
constexpr uint32_t kBltColorFill = 0x00000400;  // DDBLT_COLORFILL
constexpr uint32_t kBltKeySrc = 0x00008000;     // DDBLT_KEYSRC
constexpr uint32_t kBltWait = 0x01000000;       // DDBLT_WAIT

class Surface : public RefCounted {  // NOLINT(cppcoreguidelines-virtual-class-destructor): Release()
 public:
  // An off-screen surface of width x height at bits_per_pixel (8 or 16), zero-filled.
  static Surface* Create(int width, int height, int bits_per_pixel);

  int width() const { return width_; }
  int height() const { return height_; }
  int bits_per_pixel() const { return bpp_; }
  int pitch() const { return pitch_; }

  // The whole surface; null when already locked (as a busy surface refuses a second lock).
  uint8_t* Lock(int32_t* pitch);
  bool Unlock();
  bool locked() const { return locked_; }
  // Raw access for the platform's own converters and for tests.
  uint8_t* pixels() { return pixels_.data(); }
  const uint8_t* pixels() const { return pixels_.data(); }

  // Source colour key (DDCKEY_SRCBLT): pixels with values low..high are not copied.
  void SetColorKey(uint32_t low, uint32_t high);
  bool has_color_key() const { return has_key_; }

  void SetClipper(Clipper* clipper);  // takes a reference; null detaches
  Clipper* clipper() const { return clipper_; }
  void SetPalette(Palette* palette);  // takes a reference; null detaches
  Palette* palette() const { return palette_; }

  // Blt onto this surface. dst null: the whole surface. With kBltColorFill fills dst with
  // fill_color; otherwise copies src (src_rect null: whole source), stretching nearest-neighbour
  // when the sizes differ and skipping src's colour-keyed pixels with kBltKeySrc. The result is
  // clipped against this surface's clip list (or its bounds without a clipper). False on bad
  // arguments (no source, a locked surface, mismatched pixel depths).
  bool Blt(const Rect* dst, Surface* src, const Rect* src_rect, uint32_t flags, uint32_t fill_color = 0);

  // Flip chain: a primary made by Display::CreatePrimary has one attached back buffer.
  Surface* attached_back() const { return back_; }
  // Exchanges the primary's and the back buffer's memory and presents the new front picture.
  // False while either surface is locked.
  bool Flip();

 protected:
  ~Surface() override;

 private:
  friend class Display;
  Surface(int width, int height, int bpp);
  int width_, height_, bpp_, pitch_;
  std::vector<uint8_t> pixels_;
  bool locked_ = false;
  bool has_key_ = false;
  uint32_t key_low_ = 0, key_high_ = 0;
  Clipper* clipper_ = nullptr;
  Palette* palette_ = nullptr;
  Surface* back_ = nullptr;
  bool is_primary_ = false;
};

// The display object (IDirectDraw7): one per DisplayInit. The picture shown is always the
// primary made last.
class Display : public RefCounted {
 public:
  static Display* Create();
  // Full screen or windowed; both show the game window's 640 x 480 picture scaled.
  bool SetCooperativeLevel(bool full_screen);
  bool SetDisplayMode(int width, int height, int bits_per_pixel);
  // The visible surface, with one back buffer when back_buffers is 1 (full screen).
  Surface* CreatePrimary(int back_buffers);
  Surface* CreateOffscreen(int width, int height);  // at the mode's depth
  int width() const { return width_; }
  int height() const { return height_; }
  int bits_per_pixel() const { return bpp_; }
  // Returns at once on every backend: pictures reach the screen when they are flipped, the
  // game's frame clock paces them, and SDL has no way to wait for the vertical blank other than
  // a vsync'd present (which would block every flip for up to a refresh period).
  void WaitForVerticalBlank();

 private:
  int width_ = 640, height_ = 480, bpp_ = 8;
};

// RGB bit count of a surface's pixel format: 8 (palettised) or 16 (5.6.5).
int SurfacePixelFormatBits(const Surface* surface);

// What is on screen now, as 24-bit RGB rows (width * 3 bytes each). Both backends keep the
// last presented picture.
struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint64_t number = 0;  // how many frames were presented before this one, plus one
};
const Frame& LastPresentedFrame();
// The shown primary changed in place (its palette, or pixels written into its locked memory):
// shows it again, as a palette display does at once. Not a new frame: no number, no hook.
void RefreshShownPicture();
// Writes the last presented picture as PNG. False when nothing was presented or on I/O errors.
bool SaveLastFramePng(const char* path);
// The conversion behind both: a surface as RGB with its own or the shown palette.
void ConvertSurfaceToRgb(const Surface* surface, Frame* frame);

}  // namespace platform
