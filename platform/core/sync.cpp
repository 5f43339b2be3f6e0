#include "platform/sync.h"

#include <chrono>
#include <cstdlib>
#include <limits>

namespace platform {

Event::Event(bool manual_reset, bool initially_set) : manual_(manual_reset), set_(initially_set) {}

void Event::Set() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    // An auto-reset event hands itself to one blocked waiter at once and stays clear; only
    // with nobody left waiting does it stay signalled. Two quick Sets so release two waiters.
    if (!manual_ && waiters_ > releases_)
      ++releases_;
    else
      set_ = true;
  }
  if (manual_)
    changed_.notify_all();
  else
    changed_.notify_one();
}

void Event::Reset() {
  std::lock_guard<std::mutex> guard(lock_);
  set_ = false;
}

bool Event::Wait(uint32_t timeout_ms) {
  std::unique_lock<std::mutex> guard(lock_);
  auto signalled = [this] { return set_ || releases_ > 0; };
  ++waiters_;
  bool woken = true;
  if (timeout_ms == kInfinite)
    changed_.wait(guard, signalled);
  else
    woken = changed_.wait_for(guard, std::chrono::milliseconds(timeout_ms), signalled);
  --waiters_;
  if (!woken) return false;
  if (releases_ > 0)
    --releases_;
  else if (!manual_)
    set_ = false;
  return true;
}

void ThreadMessageQueue::Post(uint32_t message, intptr_t wparam, intptr_t lparam) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back({message, wparam, lparam});
  }
  posted_.notify_one();
}

bool ThreadMessageQueue::Get(ThreadMessage* out) {
  std::unique_lock<std::mutex> guard(lock_);
  posted_.wait(guard, [this] { return !queue_.empty(); });
  *out = queue_.front();
  queue_.pop_front();
  return out->message != kThreadQuit;
}

int ThreadMessageQueue::GetTimed(ThreadMessage* out, uint32_t timeout_ms) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!posted_.wait_for(guard, std::chrono::milliseconds(timeout_ms), [this] { return !queue_.empty(); })) return -1;
  *out = queue_.front();
  queue_.pop_front();
  return out->message != kThreadQuit ? 1 : 0;
}

bool ThreadMessageQueue::Peek(ThreadMessage* out, bool remove) {
  std::lock_guard<std::mutex> guard(lock_);
  if (queue_.empty()) return false;
  *out = queue_.front();
  if (remove) queue_.pop_front();
  return true;
}

size_t ThreadMessageQueue::Size() {
  std::lock_guard<std::mutex> guard(lock_);
  return queue_.size();
}

void ThreadMessageQueue::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  queue_.clear();
}

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t magnitude = std::llabs(product) + std::llabs(static_cast<int64_t>(denominator)) / 2;
  int64_t quotient = magnitude / std::llabs(static_cast<int64_t>(denominator));
  bool negative = (product < 0) != (denominator < 0);
  if (negative) quotient = -quotient;
  // Win32 answers -1 for anything outside +-(2^31 - 1): -2^31 itself does not count as a result.
  if (quotient > std::numeric_limits<int32_t>::max() || quotient < -std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(quotient);
}

}  // namespace platform
