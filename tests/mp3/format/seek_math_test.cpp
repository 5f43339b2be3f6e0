#include "mp3/format/seek_math.h"

#include <gtest/gtest.h>

#include "dar3/dar3.h"

TEST(SeekMath, ByteTargetsStayInsideTheData) {
  EXPECT_EQ(SeekTargetByte(MOVE_FROM_START, 500, 0, 1000), 500u);
  EXPECT_EQ(SeekTargetByte(MOVE_FROM_START, 5000, 0, 1000), 1000u);
  EXPECT_EQ(SeekTargetByte(MOVE_FROM_END, 300, 0, 1000), 700u);
  EXPECT_EQ(SeekTargetByte(MOVE_FROM_END, 3000, 0, 1000), 0u);
  EXPECT_EQ(SeekTargetByte(MOVE_FORWARD, 300, 800, 1000), 1000u);
  EXPECT_EQ(SeekTargetByte(MOVE_FORWARD, 100, 800, 1000), 900u);
  EXPECT_EQ(SeekTargetByte(MOVE_BACKWARD, 900, 800, 1000), 0u) << "back past the start goes to byte 0";
  EXPECT_EQ(SeekTargetByte(0, 100, 800, 1000), 0u);
}

TEST(SeekMath, LinearArithmeticWithoutATableAndNoDivisionByZero) {
  SeekGeometry g{1000, 10000, nullptr, 0};
  EXPECT_EQ(ByteToMs(g, 500), 5000u);
  EXPECT_EQ(MsToByte(g, 2500), 250u);
  SeekGeometry empty{};
  EXPECT_EQ(ByteToMs(empty, 10), 0u);
  EXPECT_EQ(MsToByte(empty, 10), 0u);
  EXPECT_EQ(SeekTargetMs(MOVE_FROM_END, 20000, 0, 10000), 0u);
  EXPECT_EQ(SeekTargetMs(MOVE_BACKWARD, 50, 20, 10000), 0u);
  EXPECT_EQ(SeekTargetMs(MOVE_FORWARD, 50, 20, 10000), 70u);
}

TEST(SeekMath, TableOfContentsMapsBothWaysConsistently) {
  // A table of a stream whose second half is twice as dense as its first.
  uint8_t toc[100];
  for (int i = 0; i < 100; ++i) toc[i] = static_cast<uint8_t>(i < 50 ? i * 256 / 150 : (i - 50) * 512 / 150 + 85);
  SeekGeometry g{1500000, 100000, toc, 0};
  for (uint32_t ms : {0u, 10000u, 33333u, 50000u, 75000u, 98000u}) {
    uint32_t byte = MsToByte(g, ms);
    EXPECT_NEAR(static_cast<double>(ByteToMs(g, byte)), ms, 1500.0) << ms;
  }
  EXPECT_LT(MsToByte(g, 50000), 1500000u / 2) << "the sparse first half takes fewer bytes";
}

TEST(SeekMath, PositionsPast2GiBAreComputedIn64BitsAndSaturate) {
  // 4 GB of audio data playing for 250,000 s: three quarters in is 187,500 s, not 0.
  SeekGeometry g{4000000000u, 250000000u, nullptr, 0};
  EXPECT_EQ(ByteToMs(g, 3000000000u), 187500000u);
  EXPECT_EQ(ByteToMs(g, 4000000000u), 250000000u);
  EXPECT_EQ(ScaleSaturated(3000000000u, 2000000000u, 1000u), 0xFFFFFFFFu) << "saturates, never wraps";
  EXPECT_EQ(ScaleSaturated(5, 1, 2), 3u) << "rounded half up";
  EXPECT_EQ(ScaleSaturated(5, 1, 0), 0u);
  EXPECT_EQ(Saturate32(uint64_t(1) << 40), 0xFFFFFFFFu);
}
