#include "platform/video.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/backend.h"
#include "platform/text.h"
#include "platform/window.h"

using namespace platform;

namespace {
struct Released {
  void operator()(RefCounted* object) const { object->Release(); }
};
template <typename T>
using Ref = std::unique_ptr<T, Released>;

uint8_t At(Surface* s, int x, int y) { return s->pixels()[y * s->pitch() + x]; }

Ref<Surface> Pattern(int w, int h) {
  Ref<Surface> s(Surface::Create(w, h, 8));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s->pixels()[y * s->pitch() + x] = static_cast<uint8_t>(10 * y + x);
  return s;
}
}  // namespace

TEST(Surface, BlitCopiesSkipsTheColourKeyAndClipsToTheClipList) {
  SelectBackend(Backend::Headless);
  Ref<Surface> dest(Surface::Create(20, 10, 8));
  Ref<Surface> sprite = Pattern(4, 4);
  sprite->pixels()[0] = 196;
  sprite->SetColorKey(196, 196);
  Rect to{2, 3, 6, 7};
  ASSERT_TRUE(dest->Blt(&to, sprite.get(), nullptr, kBltKeySrc));
  EXPECT_EQ(At(dest.get(), 2, 3), 0) << "keyed pixel left alone";
  EXPECT_EQ(At(dest.get(), 3, 3), 1);
  EXPECT_EQ(At(dest.get(), 5, 6), 33);

  // Without kBltKeySrc the key pixel is copied.
  ASSERT_TRUE(dest->Blt(&to, sprite.get(), nullptr, 0));
  EXPECT_EQ(At(dest.get(), 2, 3), 196);

  // A clipper keeps a blit that leaves the surface inside it, and inside its rectangles.
  Ref<Clipper> clipper(Clipper::Create());
  Rect only{0, 0, 10, 10};
  clipper->SetClipList(&only, 1);
  dest->SetClipper(clipper.get());
  Rect overlapping{8, 8, 12, 12};
  ASSERT_TRUE(dest->Blt(&overlapping, sprite.get(), nullptr, 0));
  EXPECT_EQ(At(dest.get(), 8, 8), 196);
  EXPECT_EQ(At(dest.get(), 9, 9), 11);
  EXPECT_EQ(At(dest.get(), 10, 9), 0) << "outside the clip rectangle";
  Rect far_away{-100, -100, -90, -90};
  EXPECT_TRUE(dest->Blt(&far_away, sprite.get(), nullptr, 0));
}

TEST(Surface, StretchIsNearestNeighbourAndClippedStretchMatchesUnclipped) {
  Ref<Surface> sprite = Pattern(4, 4);
  Ref<Surface> whole(Surface::Create(16, 16, 8));
  Rect big{0, 0, 8, 8};
  ASSERT_TRUE(whole->Blt(&big, sprite.get(), nullptr, 0));
  EXPECT_EQ(At(whole.get(), 0, 0), 0);
  EXPECT_EQ(At(whole.get(), 1, 1), 0);
  EXPECT_EQ(At(whole.get(), 2, 0), 1);
  EXPECT_EQ(At(whole.get(), 7, 7), 33);

  Ref<Surface> clipped(Surface::Create(16, 16, 8));
  Ref<Clipper> clipper(Clipper::Create());
  Rect half{0, 0, 5, 16};
  clipper->SetClipList(&half, 1);
  clipped->SetClipper(clipper.get());
  ASSERT_TRUE(clipped->Blt(&big, sprite.get(), nullptr, 0));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(clipped.get(), x, y), At(whole.get(), x, y));
  EXPECT_EQ(At(clipped.get(), 6, 0), 0);
}

TEST(Surface, FillsLocksAndRefusals) {
  Ref<Surface> s(Surface::Create(8, 8, 16));
  Rect part{1, 1, 3, 2};
  ASSERT_TRUE(s->Blt(&part, nullptr, nullptr, kBltColorFill, 0xBEEF));
  auto* row = reinterpret_cast<uint16_t*>(s->pixels() + s->pitch());
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[1], 0xBEEF);
  EXPECT_EQ(row[2], 0xBEEF);
  EXPECT_EQ(row[3], 0);

  int32_t pitch = 0;
  ASSERT_NE(s->Lock(&pitch), nullptr);
  EXPECT_EQ(pitch, 16);
  EXPECT_EQ(s->Lock(nullptr), nullptr) << "a locked surface refuses a second lock";
  EXPECT_FALSE(s->Blt(nullptr, nullptr, nullptr, kBltColorFill, 1)) << "busy while locked";
  EXPECT_TRUE(s->Unlock());
  EXPECT_FALSE(s->Unlock());

  Ref<Surface> eight(Surface::Create(8, 8, 8));
  EXPECT_FALSE(s->Blt(nullptr, eight.get(), nullptr, 0)) << "depths differ";
  Rect outside{0, 0, 9, 9};
  EXPECT_FALSE(s->Blt(nullptr, eight.get(), &outside, 0));
  EXPECT_EQ(Surface::Create(0, 5, 8), nullptr);
  EXPECT_EQ(Surface::Create(5, 5, 24), nullptr);
}

TEST(Display, FlipPresentsTheBackPictureWithThePrimaryPalette) {
  SelectBackend(Backend::Headless);
  Ref<Display> display(Display::Create());
  ASSERT_TRUE(display->SetDisplayMode(64, 48, 8));
  Ref<Surface> primary(display->CreatePrimary(1));
  PaletteEntry colors[256] = {};
  colors[5] = {10, 20, 30, 0};
  Ref<Palette> palette(Palette::Create(colors));
  primary->SetPalette(palette.get());
  uint64_t hooked = 0;
  SetPresentHook([&](uint64_t number) { hooked = number; });
  Surface* back = primary->attached_back();
  back->Blt(nullptr, nullptr, nullptr, kBltColorFill, 5);
  ASSERT_TRUE(primary->Flip());
  SetPresentHook(nullptr);
  const Frame& frame = LastPresentedFrame();
  EXPECT_EQ(frame.number, hooked);
  ASSERT_EQ(frame.width, 64);
  EXPECT_EQ(frame.rgb[0], 10);
  EXPECT_EQ(frame.rgb[1], 20);
  EXPECT_EQ(frame.rgb[2], 30);
  EXPECT_EQ(At(primary.get(), 3, 3), 5);
  EXPECT_EQ(At(back, 3, 3), 0) << "the flip exchanged the pages";

  ASSERT_NE(back->Lock(nullptr), nullptr);
  EXPECT_FALSE(primary->Flip()) << "no flip while the back buffer is locked";
  back->Unlock();

  ASSERT_TRUE(SaveLastFramePng("flip_test.png"));
  FILE* png = std::fopen("flip_test.png", "rb");
  ASSERT_NE(png, nullptr);
  unsigned char magic[4] = {};
  EXPECT_EQ(std::fread(magic, 1, 4, png), 4u);
  std::fclose(png);
  EXPECT_EQ(magic[1], 'P');
}

TEST(Text, DrawsGlyphsInTheNearestPaletteColourOnly) {
  SelectBackend(Backend::Headless);
  Ref<Display> display(Display::Create());
  display->SetDisplayMode(64, 48, 8);
  Ref<Surface> primary(display->CreatePrimary(1));
  PaletteEntry colors[256] = {};
  colors[200] = {250, 250, 250, 0};
  colors[201] = {255, 128, 0, 0};
  Ref<Palette> palette(Palette::Create(colors));
  primary->SetPalette(palette.get());
  Ref<Surface> page(Surface::Create(120, 40, 8));
  page->Blt(nullptr, nullptr, nullptr, kBltColorFill, 3);
  ASSERT_TRUE(TextOut(page.get(), 4, 4, "HELLO", 5, 0x0080FF));  // orange as red | green << 8
  int orange = 0, other = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      uint8_t p = At(page.get(), x, y);
      if (p == 201)
        ++orange;
      else if (p != 3)
        ++other;
    }
  EXPECT_GT(orange, 40) << "glyph pixels drawn";
  EXPECT_EQ(other, 0) << "no anti-aliasing, transparent background";
  // Height of a capital about that of a 16-pixel system font.
  int top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      if (At(page.get(), x, y) == 201) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_GE(bottom - top + 1, 8);
  EXPECT_LE(bottom - top + 1, 14);
  EXPECT_TRUE(TextOut(page.get(), -50, -50, "clipped away", 12, 0));
  EXPECT_TRUE(TextOut(page.get(), 0, 0, "", 0, 0));
  EXPECT_EQ(NearestPaletteIndex(palette.get(), 251, 251, 251), 200);
}

TEST(Surface, WithoutAClipperARectangleReachingOutsideIsRefused) {
  SelectBackend(Backend::Headless);
  Ref<Surface> s(Surface::Create(20, 10, 8));
  Ref<Surface> source = Pattern(4, 4);
  Rect corner{18, 8, 22, 12};
  EXPECT_FALSE(s->Blt(&corner, source.get(), nullptr, 0));
  Rect left_edge{-1, 0, 3, 3};
  EXPECT_FALSE(s->Blt(&left_edge, nullptr, nullptr, kBltColorFill, 7));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(s.get(), x, y), 0) << "nothing drawn";
  Rect inside{16, 6, 20, 10};
  EXPECT_TRUE(s->Blt(&inside, source.get(), nullptr, 0));
  EXPECT_EQ(At(s.get(), 19, 9), 33);

  // With a clipper the same rectangle is cut to the clip list.
  Ref<Clipper> clipper(Clipper::Create());
  const Rect whole{0, 0, 20, 10};
  clipper->SetClipList(&whole, 1);
  s->SetClipper(clipper.get());
  EXPECT_TRUE(s->Blt(&corner, source.get(), nullptr, 0));
  EXPECT_EQ(At(s.get(), 18, 8), 0);
  EXPECT_EQ(At(s.get(), 19, 9), 11);
}
