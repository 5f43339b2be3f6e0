#include "tools/dar3play/play_order.h"

#include <algorithm>
#include <cstring>
#include <numeric>

const char* RepeatName(RepeatMode mode) {
  switch (mode) {
    case RepeatMode::kAll: return "all";
    case RepeatMode::kOne: return "one";
    case RepeatMode::kOff: break;
  }
  return "off";
}

bool ParseRepeat(const char* text, RepeatMode* mode) {
  for (RepeatMode m : {RepeatMode::kOff, RepeatMode::kAll, RepeatMode::kOne}) {
    if (std::strcmp(text, RepeatName(m)) == 0) {
      *mode = m;
      return true;
    }
  }
  return false;
}

PlayOrder::PlayOrder(size_t count, bool shuffle, RepeatMode repeat, uint32_t seed)
    : order_(count), repeat_(repeat), random_(seed) {
  std::iota(order_.begin(), order_.end(), size_t{0});
  if (shuffle) {
    // The first entry is dealt too: a shuffled list does not always open with the same song.
    std::shuffle(order_.begin(), order_.end(), random_);
    shuffle_ = true;
  }
}

bool PlayOrder::Next(bool track_ended) {
  if (order_.empty()) return false;
  if (track_ended && repeat_ == RepeatMode::kOne) return true;
  if (at_ + 1 < order_.size()) {
    ++at_;
    return true;
  }
  if (repeat_ == RepeatMode::kOff) return false;
  // Each round of a shuffled list is dealt anew.
  if (shuffle_ && order_.size() > 1) {
    const size_t last = order_.back();
    std::shuffle(order_.begin(), order_.end(), random_);
    // The song just heard does not open the next round.
    if (order_.front() == last) std::swap(order_.front(), order_.back());
  }
  at_ = 0;
  return true;
}

bool PlayOrder::Previous() {
  if (order_.empty()) return false;
  if (at_ > 0) {
    --at_;
    return true;
  }
  if (repeat_ != RepeatMode::kAll) return false;
  at_ = order_.size() - 1;
  return true;
}

bool PlayOrder::JumpTo(size_t entry) {
  const auto it = std::find(order_.begin(), order_.end(), entry);
  if (it == order_.end()) return false;
  at_ = size_t(it - order_.begin());
  return true;
}

void PlayOrder::SetShuffle(bool shuffle) {
  if (order_.empty() || shuffle == shuffle_) return;
  const size_t now = current();
  std::iota(order_.begin(), order_.end(), size_t{0});
  if (shuffle) {
    std::swap(order_[0], order_[now]);
    std::shuffle(order_.begin() + 1, order_.end(), random_);
    at_ = 0;
  } else {
    at_ = now;
  }
  shuffle_ = shuffle;
}
