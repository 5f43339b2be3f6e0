#include "display/draw/color_scan.h"

#include "tests/display/draw/guarded_buffer.h"
#include "tests/display/draw/screen_fixture.h"

namespace {

using ColorScanTest = ScreenTest;

TEST_F(ColorScanTest, FindsFirstMatchRowByRowWithInclusiveBounds) {
  GuardedBuffer<uint8_t> buf(640, 480, 32);
  // The hero's wall box: 22 x 38 at (300, 200).
  const int x1 = 300, y1 = 200, x2 = 321, y2 = 237;
  EXPECT_EQ(ColorScan(x1, y1, x2, y2, 64, 64, buf.buffer(), buf.pitch()), 0);

  // Just outside the box on every side: no match.
  buf.at(x1 - 1, y1) = 64;
  buf.at(x2 + 1, y1) = 64;
  buf.at(x1, y1 - 1) = 64;
  buf.at(x1, y2 + 1) = 64;
  EXPECT_EQ(ColorScan(x1, y1, x2, y2, 64, 64, buf.buffer(), buf.pitch()), 0);

  // The bottom-right corner is inside.
  buf.at(x2, y2) = 64;
  EXPECT_EQ(ColorScan(x1, y1, x2, y2, 64, 64, buf.buffer(), buf.pitch()), x2);
  // An earlier row wins over an earlier column; within a row the leftmost wins.
  buf.at(310, 220) = 64;
  buf.at(305, 221) = 64;
  buf.at(315, 220) = 64;
  EXPECT_EQ(ColorScan(x1, y1, x2, y2, 64, 64, buf.buffer(), buf.pitch()), 310);

  // Range bounds are inclusive; values outside them do not match.
  GuardedBuffer<uint8_t> range(640, 480, 0, 1);
  range.at(100, 10) = 149;
  range.at(101, 10) = 151;
  EXPECT_EQ(ColorScan(90, 10, 110, 10, 150, 150, range.buffer(), range.pitch()), 0);
  EXPECT_EQ(ColorScan(90, 10, 110, 10, 149, 151, range.buffer(), range.pitch()), 100);
  EXPECT_EQ(ColorScan(90, 10, 110, 10, 150, 151, range.buffer(), range.pitch()), 101);
  EXPECT_EQ(ColorScan(90, 10, 110, 10, 151, 149, range.buffer(), range.pitch()), 0);
  range.at(105, 10) = 255;
  EXPECT_EQ(ColorScan(102, 10, 110, 10, 200, 255, range.buffer(), range.pitch()), 105);
  range.at(103, 10) = 0;
  EXPECT_EQ(ColorScan(102, 10, 110, 10, 0, 0, range.buffer(), range.pitch()), 103);
}

TEST_F(ColorScanTest, ClampsToScreenAndReadsNothingOutside) {
  // Guard bytes around the screen hold the searched value: a scan that strays would find them.
  GuardedBuffer<uint8_t> buf(640, 480);
  const uint8_t guard = GuardedBuffer<uint8_t>::kGuard;
  EXPECT_EQ(ColorScan(-1000, -1000, 5000, 5000, guard, guard, buf.buffer(), buf.pitch()), 0);
  EXPECT_EQ(ColorScan(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, guard, guard, buf.buffer(), buf.pitch()), 0);

  // A box hanging off the left edge starts at column 0: a match there reads as none.
  buf.at(0, 50) = 64;
  EXPECT_EQ(ColorScan(-25, 40, 10, 60, 64, 64, buf.buffer(), buf.pitch()), 0);
  buf.at(1, 50) = 64;
  EXPECT_EQ(ColorScan(-25, 40, 10, 60, 64, 64, buf.buffer(), buf.pitch()), 0);
  buf.at(1, 45) = 64;
  EXPECT_EQ(ColorScan(-25, 40, 10, 60, 64, 64, buf.buffer(), buf.pitch()), 1);

  // Boxes off the right and bottom edges clamp onto the last column and row.
  buf.at(639, 479) = 64;
  EXPECT_EQ(ColorScan(700, 500, 900, 900, 64, 64, buf.buffer(), buf.pitch()), 639);

  // Clamping does not reorder: reversed ranges scan nothing.
  EXPECT_EQ(ColorScan(20, 40, 0, 60, 64, 64, buf.buffer(), buf.pitch()), 0);
  EXPECT_EQ(ColorScan(0, 60, 20, 40, 64, 64, buf.buffer(), buf.pitch()), 0);

  EXPECT_EQ(ColorScan(0, 0, 10, 10, 64, 64, nullptr, buf.pitch()), 0);
}

TEST_F(ColorScanTest, SixteenBitScanMatchesEitherKeyAndClamps) {
  GuardedBuffer<uint16_t> buf(640, 480, 8);
  const uint16_t guard = GuardedBuffer<uint16_t>::kGuard;
  EXPECT_EQ(ColorScan16(-50, -50, 2000, 2000, guard, guard, buf.buffer(), buf.pitch()), 0);
  buf.at(320, 240) = 0xF800;
  EXPECT_EQ(ColorScan16(300, 230, 340, 250, 0x07E0, 0x001F, buf.buffer(), buf.pitch()), 0);
  EXPECT_EQ(ColorScan16(300, 230, 340, 250, 0x07E0, 0xF800, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(ColorScan16(300, 230, 340, 250, 0xF800, 0x07E0, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(ColorScan16(321, 230, 340, 250, 0xF800, 0xF800, buf.buffer(), buf.pitch()), 0);
  // Column 0 counts here: the result is a flag, not a column.
  buf.at(0, 0) = 0x1234;
  EXPECT_EQ(ColorScan16(-5, -5, 0, 0, 0x1234, 0x1234, buf.buffer(), buf.pitch()), 1);
  EXPECT_EQ(ColorScan16(0, 0, 1, 1, 1, 1, nullptr, buf.pitch()), 0);
}

}  // namespace
