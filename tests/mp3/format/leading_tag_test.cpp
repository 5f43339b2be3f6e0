// The size of a leading ID3v2 tag, and how much of a stream has to be at hand to open it.
#include "mp3/format/leading_tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Tag(uint32_t body, uint8_t version = 3, uint8_t flags = 0) {
  std::vector<uint8_t> tag(10 + body, 0);
  std::memcpy(tag.data(), "ID3", 3);
  tag[3] = version;
  tag[5] = flags;
  for (int i = 0; i < 4; ++i) tag[9 - i] = uint8_t((body >> (7 * i)) & 0x7F);
  return tag;
}

}  // namespace

TEST(LeadingTag, SizeComesFromTheHeaderWhetherTheBodyIsThereOrNot) {
  const std::vector<uint8_t> tag = Tag(150000);
  EXPECT_EQ(LeadingId3v2Size(tag.data(), 10), 150010u);
  EXPECT_EQ(LeadingId3v2Size(tag.data(), tag.size()), 150010u);
  const std::vector<uint8_t> footed = Tag(100, 4, 0x10);
  EXPECT_EQ(LeadingId3v2Size(footed.data(), footed.size()), 120u) << "a version 4 footer counts";
  const std::vector<uint8_t> largest = Tag(0x0FFFFFFF);
  EXPECT_EQ(LeadingId3v2Size(largest.data(), 10), 0x0FFFFFFFu + 10);
}

TEST(LeadingTag, WhatIsNotATagHeaderHasNoSize) {
  std::vector<uint8_t> tag = Tag(100);
  EXPECT_EQ(LeadingId3v2Size(tag.data(), 9), 0u) << "too short to tell";
  EXPECT_EQ(LeadingId3v2Size(nullptr, 0), 0u);
  tag[7] = 0x80;
  EXPECT_EQ(LeadingId3v2Size(tag.data(), tag.size()), 0u) << "a size byte that is not sync-safe";
  tag = Tag(100);
  tag[3] = 0xFF;
  EXPECT_EQ(LeadingId3v2Size(tag.data(), tag.size()), 0u);
  const uint8_t frame[10] = {0xFF, 0xFB, 0x90, 0x00};
  EXPECT_EQ(LeadingId3v2Size(frame, sizeof frame), 0u);
}

TEST(LeadingTag, AStreamNeedsItsTagsAndAWindowAfterThem) {
  const uint64_t limit = 0xFFFFFFFFull;
  const std::vector<uint8_t> big = Tag(150000);
  EXPECT_EQ(BytesNeededToOpen(big.data(), 65536, limit), 150010u + kOpenWindowAfterTag);
  std::vector<uint8_t> small = Tag(1000);
  small.resize(1010 + kOpenWindowAfterTag, 0);
  EXPECT_EQ(BytesNeededToOpen(small.data(), small.size(), limit), 0u) << "all at hand";
  std::vector<uint8_t> two = Tag(100);
  const std::vector<uint8_t> second = Tag(200000);
  two.insert(two.end(), second.begin(), second.begin() + 10);
  EXPECT_EQ(BytesNeededToOpen(two.data(), two.size(), limit), 110u + 200010u + kOpenWindowAfterTag)
      << "a second tag right after the first";
  const uint8_t frame[16] = {0xFF, 0xFB, 0x90, 0x00};
  EXPECT_EQ(BytesNeededToOpen(frame, sizeof frame, limit), 0u) << "no tag";
  EXPECT_EQ(BytesNeededToOpen(big.data(), 10, 100000), 100000u) << "capped by the limit";
}
