#include "display/draw/transitions.h"

#include <cstdlib>

#include "display/display.h"
#include "display/draw/lines.h"
#include "display/frame_clock.h"

namespace {

constexpr uint32_t kStepMs = 12;

uint8_t Lower(uint8_t c, int by) { return static_cast<uint8_t>(c < by ? 0 : c - by); }
uint8_t Raise(uint8_t c, int by) { return static_cast<uint8_t>(c + by > 255 ? 255 : c + by); }

void FadeEntry(int32_t effect, PALETTEENTRY& e) {
  switch (effect) {
    case TRANSITION_FADE_BLACK:
      // 0 at 4 or below, else 3 less.
      e.red = e.red <= 4 ? 0 : e.red - 3;
      e.green = e.green <= 4 ? 0 : e.green - 3;
      e.blue = e.blue <= 4 ? 0 : e.blue - 3;
      break;
    case TRANSITION_FADE_WHITE: e.red = Raise(e.red, 4), e.green = Raise(e.green, 4), e.blue = Raise(e.blue, 4); break;
    case TRANSITION_FADE_BLUE: e.red = Lower(e.red, 4), e.green = Lower(e.green, 4), e.blue = Raise(e.blue, 6); break;
    case TRANSITION_FADE_RED: e.red = Raise(e.red, 6), e.green = Lower(e.green, 4), e.blue = Lower(e.blue, 4); break;
    case TRANSITION_FADE_GREEN: e.red = Lower(e.red, 4), e.green = Raise(e.green, 6), e.blue = Lower(e.blue, 4); break;
    default: break;  // the other effects leave the palette alone
  }
}

// Each step starts from the palette the previous one set, so the changes accumulate.
void PaletteFade(int32_t effect) {
  const int steps = effect == TRANSITION_FADE_BLACK ? 80 : 64;
  PALETTEENTRY work[256];
  for (int step = 0; step < steps; ++step) {
    GetDisplayPalette(work);
    FadePaletteStep(effect, work);
    // 80 steps of 3 take only 240 off a component: the last step finishes the fade to black.
    if (effect == TRANSITION_FADE_BLACK && step == steps - 1)
      for (int i = 1; i < 256; ++i) work[i].red = work[i].green = work[i].blue = 0;
    SetDisplayPalette(work);
    StartClock();
    WaitClock(kStepMs);
  }
}

// Black full-screen lines at the display's depth; other depths draw nothing.
class BlackLines {
 public:
  BlackLines(uint8_t* buffer, int32_t pitch) : buffer_(buffer), pitch_(pitch) {}
  void Column(int32_t x) const {
    if (screen_bpp == 8)
      DrawVLine(0, screen_height - 1, x, 0, buffer_, pitch_);
    else if (screen_bpp == 16)
      DrawVLine16(0, screen_height - 1, x, 0, buffer_, pitch_);
  }
  void Row(int32_t y) const {
    if (screen_bpp == 8)
      DrawHLine(0, screen_width - 1, y, 0, buffer_, pitch_);
    else if (screen_bpp == 16)
      DrawHLine16(0, screen_width - 1, y, 0, buffer_, pitch_);
  }
  // Two columns in from each side at p: w - p - 1, p, w - p - 2, p + 1.
  void ColumnsAt(int32_t p) const {
    const int32_t w = screen_width;
    Column(w - p - 1), Column(p), Column(w - p - 2), Column(p + 1);
  }
  void RowsAt(int32_t p) const {
    const int32_t h = screen_height;
    Row(h - p - 1), Row(p), Row(h - p - 2), Row(p + 1);
  }

 private:
  uint8_t* buffer_;
  int32_t pitch_;
};

void Wipe(int32_t effect, const BlackLines& lines) {
  const int32_t w = screen_width, h = screen_height;
  const int32_t limit = effect == TRANSITION_CLOSE_TOP_BOTTOM ? h / 2 : w / 2;
  for (int32_t p = 0; p < limit; p += 2) {
    StartClock();
    WaitClock(kStepMs);
    if (effect == TRANSITION_CLOSE_TOP_BOTTOM) {
      lines.RowsAt(p);
    } else {
      if (effect == TRANSITION_CLOSE_ALL) lines.RowsAt(h / 2 > 0 ? p % (h / 2) : 0);  // rows sweep again and again
      lines.ColumnsAt(p);
    }
    // The lines go into the shown picture's memory; nothing is flipped.
    platform::RefreshShownPicture();
  }
}

// Random pixels go black; 4 x w x h + 1 of them, some hit twice. Pixels outside the clip
// rectangle are left alone, so a smaller clip rectangle keeps the dissolve inside it.
void Dissolve(uint8_t* buffer, int32_t pitch) {
  const int32_t w = screen_width, h = screen_height;
  if (w <= 0 || h <= 0) return;
  const int64_t count = 4 * static_cast<int64_t>(w) * h;
  for (int64_t p = 0; p <= count; ++p) {
    // The dissolve only needs pixels scattered over the screen, in the C library's sequence.
    const int32_t y = std::rand() % h;  // NOLINT(misc-predictable-rand)
    const int32_t x = std::rand() % w;  // NOLINT(misc-predictable-rand)
    if (x < clip_left || x > clip_right || y < clip_top || y > clip_bottom) continue;
    if (screen_bpp == 8)
      PlotPixel(x, y, 0, buffer, pitch);
    else if (screen_bpp == 16)
      PlotPixel16(x, y, 0, buffer, pitch);
  }
  platform::RefreshShownPicture();
}

}  // namespace

int FadePaletteStep(int32_t effect, PALETTEENTRY* entries) {
  const bool fade = effect == TRANSITION_FADE_BLACK || effect == TRANSITION_FADE_WHITE ||
                    effect == TRANSITION_FADE_BLUE || effect == TRANSITION_FADE_RED || effect == TRANSITION_FADE_GREEN;
  if (!fade || entries == nullptr) return 0;
  const int first = effect == TRANSITION_FADE_BLACK ? 1 : 0;  // black keeps entry 0 as it is
  for (int i = first; i < 256; ++i) FadeEntry(effect, entries[i]);
  return 1;
}

int ScreenTransition(int32_t effect, uint8_t* buffer, int32_t pitch) {
  switch (effect) {
    case TRANSITION_FADE_BLACK:
    case TRANSITION_FADE_WHITE:
    case TRANSITION_FADE_BLUE:
    case TRANSITION_FADE_RED:
    case TRANSITION_FADE_GREEN: PaletteFade(effect); return 1;
    case TRANSITION_CLOSE_SIDES:
    case TRANSITION_CLOSE_TOP_BOTTOM:
    case TRANSITION_CLOSE_ALL:
      if (buffer == nullptr) return 0;
      Wipe(effect, BlackLines(buffer, pitch));
      return 1;
    case TRANSITION_DISSOLVE:
      if (buffer == nullptr) return 0;
      Dissolve(buffer, pitch);
      return 1;
    default: return 0;
  }
}
