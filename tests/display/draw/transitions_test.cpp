#include "display/draw/transitions.h"

#include <cstring>

#include "display/frame_clock.h"
#include "platform/backend.h"
#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

class TransitionsTest : public ScreenTest {
 protected:
  void SetUp() override {
    platform::SelectBackend(platform::Backend::Headless);  // virtual clock: waits cost nothing
    ScreenTest::SetUp();
    screen_bpp = 8;
    std::memcpy(saved_palette_, shadow_palette, sizeof(saved_palette_));
  }
  void TearDown() override {
    std::memcpy(shadow_palette, saved_palette_, sizeof(saved_palette_));
    ScreenTest::TearDown();
  }
  // Runs the effect and returns the milliseconds the frame clock moved meanwhile.
  static uint32_t Timed(int32_t effect, uint8_t* buffer, int32_t pitch, int* result = nullptr) {
    const uint32_t before = GetClock();
    const int r = ScreenTransition(effect, buffer, pitch);
    if (result) *result = r;
    return GetClock() - before;
  }
  static void SetPalette(PALETTEENTRY e) {
    PALETTEENTRY all[256];
    for (auto& a : all) a = e;
    SetDisplayPalette(all);
  }

 private:
  PALETTEENTRY saved_palette_[256] = {};
};

TEST_F(TransitionsTest, FadeStepsChangeComponentsAndKeepFlags) {
  PALETTEENTRY p[256];
  for (auto& e : p) e = {200, 100, 4, 2};
  p[0] = {50, 60, 70, 1};
  ASSERT_EQ(FadePaletteStep(TRANSITION_FADE_BLACK, p), 1);
  EXPECT_EQ(p[0].red, 50);  // entry 0 is left alone
  EXPECT_EQ(p[1].red, 197);
  EXPECT_EQ(p[1].green, 97);
  EXPECT_EQ(p[1].blue, 0);
  EXPECT_EQ(p[1].flags, 2);
  p[7] = {5, 4, 3, 0};
  FadePaletteStep(TRANSITION_FADE_BLACK, p);
  EXPECT_EQ(p[7].red, 2);
  EXPECT_EQ(p[7].green, 0);

  for (auto& e : p) e = {252, 250, 0, 9};
  FadePaletteStep(TRANSITION_FADE_WHITE, p);
  EXPECT_EQ(p[0].red, 255);  // every entry, 0 included
  EXPECT_EQ(p[0].green, 254);
  EXPECT_EQ(p[0].blue, 4);
  EXPECT_EQ(p[0].flags, 9);

  for (auto& e : p) e = {3, 10, 252, 0};
  FadePaletteStep(TRANSITION_FADE_BLUE, p);
  EXPECT_EQ(p[5].red, 0);
  EXPECT_EQ(p[5].green, 6);
  EXPECT_EQ(p[5].blue, 255);
  for (auto& e : p) e = {250, 3, 10, 0};
  FadePaletteStep(TRANSITION_FADE_RED, p);
  EXPECT_EQ(p[5].red, 255);
  EXPECT_EQ(p[5].green, 0);
  EXPECT_EQ(p[5].blue, 6);
  for (auto& e : p) e = {10, 250, 3, 0};
  FadePaletteStep(TRANSITION_FADE_GREEN, p);
  EXPECT_EQ(p[5].red, 6);
  EXPECT_EQ(p[5].green, 255);
  EXPECT_EQ(p[5].blue, 0);

  EXPECT_EQ(FadePaletteStep(TRANSITION_DISSOLVE, p), 0);
  EXPECT_EQ(FadePaletteStep(TRANSITION_FADE_RED, nullptr), 0);
}

TEST_F(TransitionsTest, FadesRunTheirStepsAndEndAtTheirColour) {
  SetPalette({255, 128, 7, 2});
  shadow_palette[0] = {9, 8, 7, 1};
  SetDisplayPalette(shadow_palette);
  // 80 steps of at least 12 ms; a component of 255 is black at the end too.
  EXPECT_GE(Timed(TRANSITION_FADE_BLACK, nullptr, 0), 80u * 12);
  EXPECT_EQ(shadow_palette[0].red, 9);
  EXPECT_EQ(shadow_palette[0].flags, 1);
  for (int i = 1; i < 256; ++i) {
    ASSERT_EQ(shadow_palette[i].red | shadow_palette[i].green | shadow_palette[i].blue, 0) << i;
    ASSERT_EQ(shadow_palette[i].flags, 2);
  }

  const uint32_t white = Timed(TRANSITION_FADE_WHITE, nullptr, 0);
  EXPECT_GE(white, 64u * 12);
  EXPECT_LT(white, 64u * 20);
  EXPECT_EQ(shadow_palette[0].red, 255);
  EXPECT_EQ(shadow_palette[200].blue, 255);

  SetPalette({200, 200, 0, 0});
  Timed(TRANSITION_FADE_BLUE, nullptr, 0);
  EXPECT_EQ(shadow_palette[3].red, 0);
  EXPECT_EQ(shadow_palette[3].blue, 255);
  Timed(TRANSITION_FADE_RED, nullptr, 0);
  EXPECT_EQ(shadow_palette[3].red, 255);
  EXPECT_EQ(shadow_palette[3].blue, 0);
  Timed(TRANSITION_FADE_GREEN, nullptr, 0);
  EXPECT_EQ(shadow_palette[3].red, 0);
  EXPECT_EQ(shadow_palette[3].green, 255);
}

TEST_F(TransitionsTest, WipesCloseInWithBlackLinesStepByStep) {
  GuardedBuffer<uint8_t> buf(640, 480, 0, 77);
  int result = 0;
  // 120 steps of rows 479, 0, 478, 1 then 477, 2, ...: every row black at the end.
  EXPECT_GE(Timed(TRANSITION_CLOSE_TOP_BOTTOM, buf.buffer(), buf.pitch(), &result), 120u * 12);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(buf.Count(0), 640 * 480);
  EXPECT_EQ(buf.ChangedOutside(0, 0, 639, 479), 0);  // and nothing beyond the screen

  // 160 steps of columns from both sides.
  GuardedBuffer<uint8_t> sides(640, 480, 0, 77);
  EXPECT_GE(Timed(TRANSITION_CLOSE_SIDES, sides.buffer(), sides.pitch()), 160u * 12);
  EXPECT_EQ(sides.Count(0), 640 * 480);

  // Rows and columns together, in 16 bits, inside a smaller clip rectangle.
  screen_bpp = 16;
  SetClip(100, 50, 539, 429);
  GuardedBuffer<uint16_t> wide(640, 480, 4, 0x7777);
  EXPECT_GE(Timed(TRANSITION_CLOSE_ALL, wide.buffer(), wide.pitch()), 160u * 12);
  EXPECT_EQ(wide.Count(0), 440 * 380);
  EXPECT_EQ(wide.ChangedOutside(100, 50, 539, 429), 0);

  // Other depths draw nothing but keep the pace.
  screen_bpp = 24;
  GuardedBuffer<uint8_t> other(640, 480, 0, 77);
  EXPECT_GE(Timed(TRANSITION_CLOSE_SIDES, other.buffer(), other.pitch()), 160u * 12);
  EXPECT_EQ(other.Count(77), 640 * 480);
}

TEST_F(TransitionsTest, DissolveBlacksRandomPixelsInsideTheClipRectangle) {
  GuardedBuffer<uint8_t> buf(640, 480, 0, 200);
  SetClip(0, 0, 319, 479);
  EXPECT_EQ(Timed(TRANSITION_DISSOLVE, buf.buffer(), buf.pitch()), 0u);  // no waiting
  // 4 x w x h draws over w x h pixels leave about e^-4 (1.8 %) untouched.
  const int black = buf.Count(0);
  EXPECT_GT(black, 320 * 480 * 97 / 100);
  EXPECT_LT(black, 320 * 480 * 99 / 100);
  EXPECT_EQ(buf.ChangedOutside(0, 0, 319, 479), 0);
}

TEST_F(TransitionsTest, UnknownEffectsAndMissingBuffersDoNothing) {
  GuardedBuffer<uint8_t> buf(640, 480, 0, 5);
  PALETTEENTRY before[256];
  GetDisplayPalette(before);
  int result = 1;
  for (int effect : {9, -1, 1000}) {
    EXPECT_EQ(Timed(effect, buf.buffer(), buf.pitch(), &result), 0u);
    EXPECT_EQ(result, 0);
  }
  for (int effect : {TRANSITION_CLOSE_SIDES, TRANSITION_DISSOLVE, TRANSITION_CLOSE_ALL}) {
    EXPECT_EQ(Timed(effect, nullptr, 640, &result), 0u);
    EXPECT_EQ(result, 0);
  }
  EXPECT_EQ(buf.Count(5), 640 * 480);
  EXPECT_EQ(std::memcmp(before, shadow_palette, sizeof(before)), 0);
  // A zero-sized screen cannot divide by zero in the dissolve.
  SetScreen(0, 0);
  EXPECT_EQ(ScreenTransition(TRANSITION_DISSOLVE, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(ScreenTransition(TRANSITION_CLOSE_ALL, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(buf.Count(5), 640 * 480);
}

}  // namespace

// On a real display the effects show while they run: palette changes and lines written into
// the locked primary reach the screen without a flip.
TEST(TransitionsOnScreen, FadesAndWipesShowWithoutAFlip) {
  platform::SelectBackend(platform::Backend::Headless);
  ASSERT_EQ(DisplayInit(64, 48, 8, 0), 1);
  PALETTEENTRY grey[256];
  for (auto& e : grey) e = {120, 120, 120, 0};
  grey[0] = {0, 0, 0, 0};
  SetDisplayPalette(grey);
  FillSurface(back_surface, 5, nullptr);
  ASSERT_EQ(FlipDisplay(), 1);
  auto shown = [](int x, int y) { return platform::LastPresentedFrame().rgb[size_t(y * 64 + x) * 3]; };
  ASSERT_EQ(shown(10, 10), 120);

  ScreenTransition(TRANSITION_FADE_BLACK, nullptr, 0);
  EXPECT_EQ(shown(10, 10), 0) << "the faded palette is on the screen";

  SetDisplayPalette(grey);
  EXPECT_EQ(shown(10, 10), 120) << "a palette change shows at once";
  int32_t saved[4] = {clip_left, clip_top, clip_right, clip_bottom};
  uint8_t* pixels = LockPrimarySurface();
  ASSERT_NE(pixels, nullptr);
  ScreenTransition(TRANSITION_CLOSE_SIDES, pixels, primary_pitch);
  EXPECT_EQ(shown(0, 10), 0) << "the wipe's lines are on the screen while the primary is locked";
  EXPECT_EQ(shown(63, 10), 0);
  UnlockPrimarySurface();
  clip_left = saved[0], clip_top = saved[1], clip_right = saved[2], clip_bottom = saved[3];
  DisplayShutdown();
}
