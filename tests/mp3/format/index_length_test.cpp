// Lengths counted from a frame index: exact frames, bytes, the average rate, and the stop at a
// change of format.
#include "mp3/format/index_length.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A frame of `size` bytes whose header names MPEG-1 Layer III at 44.1 (rate 0) or 48 kHz (1),
// stereo or single channel; the body is zero.
void AppendFrame(std::vector<uint8_t>* data, size_t size, int rate_index = 0, bool mono = false) {
  const size_t at = data->size();
  data->resize(at + size, 0);
  (*data)[at] = 0xFF;
  (*data)[at + 1] = 0xFB;
  (*data)[at + 2] = uint8_t(0x90 | rate_index << 2);
  (*data)[at + 3] = mono ? 0xC0 : 0x00;
}

std::vector<const uint8_t*> Starts(const std::vector<uint8_t>& data, const std::vector<size_t>& sizes) {
  std::vector<const uint8_t*> index;
  size_t at = 0;
  for (size_t size : sizes) {
    index.push_back(data.data() + at);
    at += size;
  }
  return index;
}

}  // namespace

TEST(IndexLength, CountsEveryFrameAndTheirBytes) {
  std::vector<uint8_t> data;
  std::vector<size_t> sizes;
  for (int i = 0; i < 1000; ++i) {
    sizes.push_back(i % 3 ? 417 : 209);
    AppendFrame(&data, sizes.back());
  }
  const IndexLength length = LengthFromIndex(Starts(data, sizes), data.data() + data.size(), 1152, 44100);
  EXPECT_EQ(length.frames, 1000u);
  EXPECT_EQ(length.samples, 1152000u);
  EXPECT_EQ(length.ms, 1152000u * 1000 / 44100);
  EXPECT_EQ(length.bytes, data.size());
  EXPECT_NEAR(length.average_bitrate, double(data.size()) * 8 * 44100 / 1152000, 1.0);
  EXPECT_FALSE(length.format_changes);
}

TEST(IndexLength, StopsAtAChangeOfRateButNotOfChannels) {
  std::vector<uint8_t> data;
  std::vector<size_t> sizes(30, 417);
  for (int i = 0; i < 30; ++i) AppendFrame(&data, 417, i < 20 ? 0 : 1);
  IndexLength length = LengthFromIndex(Starts(data, sizes), data.data() + data.size(), 1152, 44100);
  EXPECT_TRUE(length.format_changes);
  EXPECT_EQ(length.frames, 20u);
  EXPECT_EQ(length.bytes, 20u * 417);

  data.clear();
  for (int i = 0; i < 30; ++i) AppendFrame(&data, 417, 0, i >= 20);
  length = LengthFromIndex(Starts(data, sizes), data.data() + data.size(), 1152, 44100);
  EXPECT_FALSE(length.format_changes) << "stereo to mono plays on";
  EXPECT_EQ(length.frames, 30u);
}

TEST(IndexLength, ASingleFrameOfAnotherRateIsDamageAndNotCounted) {
  std::vector<uint8_t> data;
  std::vector<size_t> sizes(30, 417);
  for (int i = 0; i < 30; ++i) AppendFrame(&data, 417, i == 10 || i == 29 ? 1 : 0);
  const IndexLength length = LengthFromIndex(Starts(data, sizes), data.data() + data.size(), 1152, 44100);
  EXPECT_FALSE(length.format_changes);
  EXPECT_EQ(length.frames, 28u);
  EXPECT_EQ(length.bytes, data.size());
}

TEST(IndexLength, NothingToCountGivesZeros) {
  std::vector<uint8_t> data;
  AppendFrame(&data, 417);
  EXPECT_EQ(LengthFromIndex({}, data.data() + 417, 1152, 44100).frames, 0u);
  const IndexLength no_rate = LengthFromIndex({data.data()}, data.data() + 417, 1152, 0);
  EXPECT_EQ(no_rate.ms, 0u);
  EXPECT_EQ(no_rate.average_bitrate, 0.0f);
}
