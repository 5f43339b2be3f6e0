// The order a list plays in: straight or shuffled, and what comes after the last entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

enum class RepeatMode { kOff, kAll, kOne };

const char* RepeatName(RepeatMode mode);
// "off", "all" or "one"; false for anything else.
bool ParseRepeat(const char* text, RepeatMode* mode);

class PlayOrder {
 public:
  PlayOrder(size_t count, bool shuffle, RepeatMode repeat, uint32_t seed);

  size_t count() const { return order_.size(); }
  // The entry playing now.
  size_t current() const { return order_.empty() ? 0 : order_[at_]; }
  bool shuffled() const { return shuffle_; }
  RepeatMode repeat() const { return repeat_; }

  // What follows: after a track ended on its own, repeat one plays it again; a skip moves on
  // either way. False at the end of the list without repeat all (current() stays).
  bool Next(bool track_ended);
  // The entry before; with repeat all the first goes back to the last. False at the start.
  bool Previous();
  // Makes an entry current; out-of-range entries are refused.
  bool JumpTo(size_t entry);
  // Shuffling keeps the current entry and deals the others after it; unshuffling returns to
  // the list's order at the current entry.
  void SetShuffle(bool shuffle);
  void SetRepeat(RepeatMode repeat) { repeat_ = repeat; }

 private:
  std::vector<size_t> order_;
  size_t at_ = 0;
  bool shuffle_ = false;
  RepeatMode repeat_ = RepeatMode::kOff;
  std::mt19937 random_;
};
