// The order a list plays in under shuffle and repeat.
#include "tools/dar3play/play_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace {

std::vector<size_t> PlayThrough(PlayOrder* order) {
  std::vector<size_t> seen{order->current()};
  while (order->Next(true) && seen.size() < 100) seen.push_back(order->current());
  return seen;
}

TEST(PlayOrder, StraightOrderStopsAtTheEndUnlessRepeated) {
  PlayOrder plain(4, false, RepeatMode::kOff, 1);
  EXPECT_EQ(PlayThrough(&plain), (std::vector<size_t>{0, 1, 2, 3}));
  EXPECT_EQ(plain.current(), 3u);
  EXPECT_FALSE(plain.Next(false));

  PlayOrder all(3, false, RepeatMode::kAll, 1);
  std::vector<size_t> seen{all.current()};
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(all.Next(true));
    seen.push_back(all.current());
  }
  EXPECT_EQ(seen, (std::vector<size_t>{0, 1, 2, 0, 1, 2, 0}));
  ASSERT_TRUE(all.Previous());
  EXPECT_EQ(all.current(), 2u);  // back over the start to the last

  // Repeat one plays the track again when it ends, but a skip still moves on.
  PlayOrder one(3, false, RepeatMode::kOne, 1);
  ASSERT_TRUE(one.Next(true));
  EXPECT_EQ(one.current(), 0u);
  ASSERT_TRUE(one.Next(false));
  EXPECT_EQ(one.current(), 1u);
  EXPECT_FALSE(PlayOrder(0, true, RepeatMode::kAll, 1).Next(true));
}

TEST(PlayOrder, ShufflePlaysEachEntryOncePerRound) {
  PlayOrder order(50, true, RepeatMode::kOff, 42);
  const std::vector<size_t> round = PlayThrough(&order);
  ASSERT_EQ(round.size(), 50u);
  EXPECT_EQ(std::set<size_t>(round.begin(), round.end()).size(), 50u);
  std::vector<size_t> straight(50);
  std::iota(straight.begin(), straight.end(), size_t{0});
  EXPECT_NE(round, straight);

  // Under repeat all each round is a new deal that does not open with the song just heard.
  PlayOrder repeated(5, true, RepeatMode::kAll, 7);
  for (int round_no = 0; round_no < 20; ++round_no) {
    std::set<size_t> heard;
    size_t last = 0;
    for (int i = 0; i < 5; ++i) {
      heard.insert(repeated.current());
      last = repeated.current();
      ASSERT_TRUE(repeated.Next(true));
    }
    EXPECT_EQ(heard.size(), 5u);
    EXPECT_NE(repeated.current(), last);
  }
}

TEST(PlayOrder, TogglingShuffleAndJumpingKeepTheCurrentEntry) {
  PlayOrder order(10, false, RepeatMode::kOff, 3);
  ASSERT_TRUE(order.JumpTo(6));
  order.SetShuffle(true);
  EXPECT_EQ(order.current(), 6u);
  // The rest of the round holds the other nine, each once.
  std::vector<size_t> rest = PlayThrough(&order);
  std::sort(rest.begin(), rest.end());
  EXPECT_EQ(rest, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(order.JumpTo(2));
  order.SetShuffle(false);
  EXPECT_EQ(order.current(), 2u);
  ASSERT_TRUE(order.Next(false));
  EXPECT_EQ(order.current(), 3u);
  EXPECT_FALSE(order.JumpTo(10));
  EXPECT_EQ(order.current(), 3u);

  RepeatMode mode = RepeatMode::kOff;
  EXPECT_TRUE(ParseRepeat("one", &mode));
  EXPECT_EQ(mode, RepeatMode::kOne);
  EXPECT_FALSE(ParseRepeat("always", &mode));
  EXPECT_EQ(mode, RepeatMode::kOne);
}

}  // namespace
