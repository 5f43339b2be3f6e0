#pragma once
// Thread synchronisation with the Win32 semantics the player's threads rely on:
// events (manual and auto reset, timed waits), per-thread message queues and MulDiv.
// Locks are plain std::mutex; threads are std::thread.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

namespace platform {

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

// CreateEvent: a manual-reset event stays signalled until Reset; an auto-reset event releases
// exactly one waiter and clears itself.
class Event {
 public:
  explicit Event(bool manual_reset = false, bool initially_set = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // Waits up to timeout_ms (kInfinite: no limit). True when signalled, false on time-out.
  bool Wait(uint32_t timeout_ms = kInfinite);
  // True when signalled now (an auto-reset event is consumed by the test).
  bool TryWait() { return Wait(0); }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool manual_;
  bool set_;
  int waiters_ = 0;   // threads blocked in Wait
  int releases_ = 0;  // auto-reset: Sets handed to blocked waiters not yet woken
};

// Thread message queue message. Arguments are pointer-sized, so an address survives.
struct ThreadMessage {
  uint32_t message = 0;
  intptr_t wparam = 0;
  intptr_t lparam = 0;
};

constexpr uint32_t kThreadQuit = 0x0012;  // WM_QUIT

// PostThreadMessage / GetMessage / PeekMessage for one worker thread. Posting kThreadQuit is how
// a worker is asked to end (a thread is never killed; its owner joins it afterwards).
class ThreadMessageQueue {
 public:
  void Post(uint32_t message, intptr_t wparam = 0, intptr_t lparam = 0);
  // Blocks for the next message; false when it is kThreadQuit (as GetMessage returns 0).
  bool Get(ThreadMessage* out);
  // Like Get with a time-out: 1 message, 0 quit, -1 time-out.
  int GetTimed(ThreadMessage* out, uint32_t timeout_ms);
  // Non-blocking; removes the message when remove is true. False when empty.
  bool Peek(ThreadMessage* out, bool remove = true);
  size_t Size();
  void Clear();

 private:
  std::mutex lock_;
  std::condition_variable posted_;
  std::deque<ThreadMessage> queue_;
};

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when denominator is 0 or the result does not fit in 32 bits (as Win32 does).
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

}  // namespace platform
