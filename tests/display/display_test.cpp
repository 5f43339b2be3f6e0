#include "display/display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "display/error_log.h"
#include "platform/backend.h"
#include "tests/support/files.h"

namespace {
class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SelectBackend(platform::Backend::Headless);
    ASSERT_EQ(DisplayInit(640, 480, 8, 0), 1);
  }
  void TearDown() override { DisplayShutdown(); }
};

uint8_t BackPixel(int x, int y) { return back_surface->pixels()[y * back_surface->pitch() + x]; }

std::string ReadFile(const char* path) { return test_support::ReadFileText(path); }
}  // namespace

TEST_F(DisplayTest, InitSetsTheClipRectangleClipperAndBlackSurfaces) {
  EXPECT_EQ(clip_left, 0);
  EXPECT_EQ(clip_top, 0);
  EXPECT_EQ(clip_right, 639);
  EXPECT_EQ(clip_bottom, 479);
  EXPECT_EQ(pixel_format, 8);
  EXPECT_EQ(rgb16_packer, &PackRgb565);
  ASSERT_NE(back_clipper, nullptr);
  const RECT& bound = back_clipper->bound();
  EXPECT_EQ(bound.left, 0);
  EXPECT_EQ(bound.right, 640);
  EXPECT_EQ(bound.bottom, 480);
  EXPECT_EQ(BackPixel(320, 240), 0);
}

TEST_F(DisplayTest, RepeatedInitKeepsEarlierSurfacesUsable) {
  DisplaySurface* frame = CreateOffscreenSurface(72, 74, 0, 196);
  ASSERT_NE(frame, nullptr);
  FillSurface(frame, 103, nullptr);
  ASSERT_EQ(DisplayInit(640, 480, 8, 0), 1);
  ASSERT_EQ(DisplayInit(640, 480, 8, 0), 1);
  RECT at{100, 100, 172, 174};
  ASSERT_TRUE(back_surface->Blt(&at, frame, nullptr, platform::kBltKeySrc));
  EXPECT_EQ(BackPixel(120, 120), 103);
  frame->Release();
}

TEST_F(DisplayTest, FillsUseSixteenBitsForSurfacesAndFullColourForRectangles) {
  DisplayShutdown();
  ASSERT_EQ(DisplayInit(64, 48, 16, 0), 1);
  EXPECT_EQ(pixel_format, 16);
  FillSurface(back_surface, 0x12345, nullptr);
  auto* row = reinterpret_cast<uint16_t*>(back_surface->pixels());
  EXPECT_EQ(row[0], 0x2345);
  FillRectangle(0, 0, 2, 1, 0x0000F00D, back_surface);
  EXPECT_EQ(row[1], 0xF00D);
  EXPECT_EQ(row[2], 0x2345);
}

TEST_F(DisplayTest, LockPairsNestAndFlipRefusesWhileLocked) {
  uint8_t* first = LockBackSurface();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LockBackSurface(), first);
  EXPECT_EQ(back_pitch, 640);
  EXPECT_EQ(FlipDisplay(), 0);
  EXPECT_EQ(UnlockBackSurface(), 1);
  EXPECT_EQ(UnlockBackSurface(), 0);
  EXPECT_EQ(back_buffer, nullptr);
  EXPECT_EQ(back_pitch, 0);
  EXPECT_EQ(FlipDisplay(), 1);
  EXPECT_EQ(LockSurface(nullptr, nullptr), nullptr);
  EXPECT_EQ(UnlockSurface(nullptr), 0);
}

TEST_F(DisplayTest, FlipGivesUpWhenPresentingKeepsFailing) {
  // A surface locked behind the layer's back makes every flip fail: no hang, result 0.
  back_surface->Lock(nullptr);
  EXPECT_EQ(FlipDisplay(), 0);
  back_surface->Unlock();
}

TEST_F(DisplayTest, ClipperBoundCoversEveryRectangle) {
  RECT rects[2] = {{10, 20, 30, 40}, {0, 50, 5, 60}};
  platform::Clipper* clipper = AttachClipper(back_surface, 2, rects);
  ASSERT_NE(clipper, nullptr);
  const RECT& bound = clipper->bound();
  EXPECT_EQ(bound.left, 0);
  EXPECT_EQ(bound.top, 20);
  EXPECT_EQ(bound.right, 30);
  EXPECT_EQ(bound.bottom, 60);
  clipper->Release();
  EXPECT_EQ(AttachClipper(nullptr, 1, rects), nullptr);
}

TEST(Packers, PackRgbValues) {
  EXPECT_EQ(PackRgb565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(PackRgb555(255, 255, 255), 0x7FFF);
  EXPECT_EQ(PackRgb565(8, 4, 8), 0x0821);
  EXPECT_EQ(PackRgb555(8, 8, 8), 0x0421);
}

TEST_F(DisplayTest, PaletteFileRoundTripAndShadowCopies) {
  PALETTEENTRY colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i & 3)};
  ASSERT_EQ(SavePaletteFile("round.pal", colors), 1);
  std::string text = ReadFile("round.pal");
  EXPECT_EQ(text.substr(0, 12), "\n0 255 0 0\n1");
  EXPECT_NE(text.back(), '\n');
  PALETTEENTRY loaded[256] = {};
  ASSERT_EQ(LoadPaletteFile("round.pal", loaded), 1);
  EXPECT_EQ(std::memcmp(loaded, colors, sizeof(colors)), 0);

  SetDisplayPalette(colors);
  PALETTEENTRY one;
  GetPaletteEntry(9, &one);
  EXPECT_EQ(one.blue, 63);
  EXPECT_EQ(display_palette->entries()[9].blue, 63);
  PALETTEENTRY red{255, 0, 0, 0};
  SetPaletteEntry(300, &red);  // out of range: ignored, nothing overwritten
  SetPaletteEntry(4, &red);
  EXPECT_EQ(shadow_palette[4].red, 255);
  EXPECT_EQ(LoadPaletteFile("no-such.pal", loaded), 0);
  EXPECT_EQ(SavePaletteFile("no/such/dir/x.pal", colors), 0);
}

TEST_F(DisplayTest, MalformedPaletteFilesLoadWhatTheyCan) {
  {
    std::ofstream out("bad.pal");
    out << "1 2 3 4\n260 -1 99999999999999 7\n9 9 x 9 9 9";
  }
  PALETTEENTRY loaded[256];
  std::memset(loaded, 0xAA, sizeof(loaded));
  ASSERT_EQ(LoadPaletteFile("bad.pal", loaded), 1);
  EXPECT_EQ(loaded[0].red, 1);
  EXPECT_EQ(loaded[0].flags, 4);
  EXPECT_EQ(loaded[1].red, 260 & 0xFF);
  EXPECT_EQ(loaded[1].green, 0xFF);
  EXPECT_EQ(loaded[1].flags, 7);
  EXPECT_EQ(loaded[2].red, 9);
  EXPECT_EQ(loaded[2].green, 9);
  EXPECT_EQ(loaded[2].blue, 0xAA) << "reading stops at the letter";
  EXPECT_EQ(loaded[255].red, 0xAA);
}

TEST_F(DisplayTest, RotatePaletteMovesColoursUpAndWrapsTheLast) {
  PALETTEENTRY colors[256] = {};
  for (int i = 0; i < 256; ++i) colors[i].red = uint8_t(i);
  SetDisplayPalette(colors);
  RotatePalette(10, 13);
  EXPECT_EQ(shadow_palette[10].red, 13);
  EXPECT_EQ(shadow_palette[11].red, 10);
  EXPECT_EQ(shadow_palette[13].red, 12);
  EXPECT_EQ(shadow_palette[14].red, 14);
}

TEST_F(DisplayTest, BlinkColorCyclesAndReportsAFullTable) {
  BlinkRecord blink{};
  blink.color_index = 7;
  blink.color_a = {255, 0, 0, 0};
  blink.color_b = {0, 0, 255, 0};
  blink.ticks_a = 2;
  blink.ticks_b = 3;
  int slot = BlinkColor(BLINKER_ADD, &blink, 0);
  EXPECT_EQ(display_palette->entries()[7].blue, 255) << "starts on colour B";
  for (int i = 0; i < 3; ++i) BlinkColor(BLINKER_RUN, nullptr, 0);
  EXPECT_EQ(display_palette->entries()[7].red, 255) << "after ticks B shows colour A";
  EXPECT_EQ(shadow_palette[7].red, 0) << "blinking leaves the shadow alone";
  for (int i = 0; i < 2; ++i) BlinkColor(BLINKER_RUN, nullptr, 0);
  EXPECT_EQ(display_palette->entries()[7].blue, 255);
  EXPECT_EQ(BlinkColor(BLINKER_DELETE, nullptr, slot), slot);
  EXPECT_EQ(BlinkColor(BLINKER_DELETE, nullptr, slot), -1);
  EXPECT_EQ(BlinkColor(BLINKER_UPDATE, &blink, 999), -1);

  std::vector<int> slots;
  slots.reserve(256);
  for (int i = 0; i < 256; ++i) slots.push_back(BlinkColor(BLINKER_ADD, &blink, 0));
  EXPECT_EQ(slots.back(), 255);
  EXPECT_EQ(BlinkColor(BLINKER_ADD, &blink, 0), 1) << "no free slot";
  for (int s : slots) BlinkColor(BLINKER_DELETE, nullptr, s);
}

TEST(ErrorLog, OpeningLineTimeStampAppendAndSafeTruncation) {
  EXPECT_EQ(ErrorLogWrite("dropped %d", 1), 0);
  EXPECT_EQ(ErrorLogClose(), 0);
  ASSERT_EQ(ErrorLogOpen("log.txt", nullptr), 1);
  EXPECT_EQ(ErrorLogWrite("\n100%s", "%"), 1);
  std::string longer(300, 'x');
  EXPECT_EQ(ErrorLogWrite("\n%s", longer.c_str()), 1);
  EXPECT_EQ(ErrorLogWrite(nullptr), 0);
  EXPECT_EQ(ErrorLogClose(), 1);
  std::string text = ReadFile("log.txt");
  // "\nOpening Error Output File (log.txt) on Tue Dec  8 09:12:01.5, 2026\n\n", cut at 79.
  ASSERT_EQ(text.rfind("\nOpening Error Output File (log.txt) on ", 0), 0u);
  size_t stamp = text.find(" on ") + 4;
  EXPECT_EQ(text[stamp + 3], ' ');
  EXPECT_EQ(text[stamp + 7], ' ');  // day of month padded to two places
  EXPECT_EQ(text[stamp + 19], '.');
  EXPECT_NE(text.find("\n100%"), std::string::npos);
  EXPECT_NE(text.find("\n" + std::string(78, 'x')), std::string::npos);
  EXPECT_EQ(text.find(std::string(79, 'x')), std::string::npos) << "cut to the 80-byte buffer";
  EXPECT_EQ(text.substr(text.size() - 27), "\nClosing Error Output File.");

  ASSERT_EQ(ErrorLogOpen(nullptr, stdout), 1);
  EXPECT_EQ(ErrorLogClose(), 1);
  EXPECT_NE(std::fputs("", stdout), EOF) << "standard output stays open";
  EXPECT_EQ(ErrorLogOpen("no/such/dir/log.txt", nullptr), 0);

  // Opening a second log finishes the first; an unopenable one leaves no log open.
  ASSERT_EQ(ErrorLogOpen("first.txt", nullptr), 1);
  ASSERT_EQ(ErrorLogOpen("second.txt", nullptr), 1);
  EXPECT_EQ(ErrorLogWrite("\nto the second"), 1);
  const std::string first = ReadFile("first.txt");
  EXPECT_EQ(first.substr(first.size() - 27), "\nClosing Error Output File.");
  EXPECT_EQ(first.find("to the second"), std::string::npos);
  EXPECT_EQ(ErrorLogOpen("no/such/dir/log.txt", nullptr), 0);
  EXPECT_EQ(ErrorLogWrite("dropped"), 0);
  EXPECT_EQ(ErrorLogClose(), 0);
  const std::string second = ReadFile("second.txt");
  EXPECT_NE(second.find("\nto the second"), std::string::npos);
  EXPECT_EQ(second.substr(second.size() - 27), "\nClosing Error Output File.");
}
