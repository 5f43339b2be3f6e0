#pragma once
// CallbackDispatcher: every notice of a player goes out here. A callback thread of its own
// calls the user's function for each message, one at a time, in the order sent; a synchronous
// send waits for its own answer. A thread that waits for something (a run's start or end)
// while it is the callback thread goes on delivering the queued notices meanwhile, so a run
// never waits on a thread that waits for it.
//
// Lock table (lock_ guards every field below it marked GUARDED_BY; the mask and the function
// are atomics read on every send; nothing is held while the user's function runs or while a
// thread is joined):
//   lock_   channel_, thread_, retired_, answers_, next_ticket_, wake_count_, release_,
//           release_thread_, and each channel's queue and quit flag
//
// Who sends what (all on the decoding thread, through DAr3::Notify or Send):
//   PLAY                      StartChecks (decode_thread.cpp); answered 1, the run is skipped
//   STOP                      the run's last notice: FinishRun, or FailStart / FinishEmptyRun
//                             when it never played (decode_thread.cpp)
//   ENTER_LOOP, EXIT_LOOP     RunFrameStages, EndLoopPass; an owed EXIT_LOOP in FinishRun
//   FADE_*_START, FADE_*_END  FrameStageFade through FadeControl::Step (effect_stages.cpp); the
//                             owed ends in FinishRun through FadeControl::SendOwedEnds
//   WAVE_BUFFER               WriteBlock, for every block leaving the effect chain
//   STREAM_BUFFER_DONE,       StreamRefill and StreamFinishRun (dar3_stream_feed.cpp)
//   STREAM_NEED_MORE_DATA
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "platform/mutex.h"

class CallbackDispatcher {
 public:
  CallbackDispatcher() = default;
  ~CallbackDispatcher();
  CallbackDispatcher(const CallbackDispatcher&) = delete;
  CallbackDispatcher& operator=(const CallbackDispatcher&) = delete;

  // A new function with a callback thread of its own; false when no thread can be made. A
  // null function ends the thread, and nothing queued reaches the old function any more.
  bool SetFunction(MP3_CALLBACK_FUNC function, uint32_t mask) EXCLUDES(lock_);
  bool Wants(uint32_t bit) const { return (mask_.load(std::memory_order_relaxed) & bit) != 0; }

  // One event: its synchronous form first (the answer is returned), then the asynchronous one,
  // each only when its bit is in the mask.
  int32_t Notify(uint32_t async_bit, intptr_t wparam = 0, intptr_t lparam = 0) EXCLUDES(lock_);
  // One message; a synchronous one (above 0xFFFF) returns its answer, 0 without a thread.
  int32_t Send(uint32_t message, intptr_t wparam, intptr_t lparam) EXCLUDES(lock_);

  // On this dispatcher's callback thread: inside a callback, or in a call made from one.
  bool OnCallbackThread() const;
  // Synchronous callbacks running on the calling thread (0 off the callback thread).
  int SynchronousDepth() const;

  // Waits until done() holds. done() is evaluated without lock_ and may take other locks;
  // whoever changes what it reads calls Wake afterwards. On the callback thread the queued
  // notices are delivered meanwhile.
  void WaitServing(const std::function<bool()>& done) EXCLUDES(lock_);
  void Wake() EXCLUDES(lock_);

  // The user's function is not called any more; synchronous sends are answered with 0.
  void Silence() { silenced_.store(true); }
  // Ends the callback threads after what is queued, joining all but the calling one.
  void Shutdown() EXCLUDES(lock_);
  // From inside a callback: once the outermost callback has returned, `release` runs on the
  // callback thread, which is let go first (it cannot join itself) and touches nothing after.
  void ReleaseAfterCallback(std::function<void()> release) EXCLUDES(lock_);

 private:
  struct Notice {
    uint32_t message = 0;
    intptr_t wparam = 0;
    intptr_t lparam = 0;
    uint64_t ticket = 0;  // of a synchronous one; 0 for a posted one
  };
  // One callback thread's queue. A thread replaced from inside its own callback keeps its
  // queue and ends by itself once that call returns.
  struct Channel {
    std::deque<Notice> queue;
    bool quit = false;
  };

  // The thread's own copy of the channel keeps it alive while the thread runs.
  void ThreadMain(const std::shared_ptr<Channel>& channel) EXCLUDES(lock_);
  void Deliver(const Notice& notice) EXCLUDES(lock_);
  // The next notice of `channel`, waiting for one; false once it quits.
  bool Next(Channel& channel, Notice* notice) EXCLUDES(lock_);
  void Answer(uint64_t ticket, int32_t answer) REQUIRES(lock_);
  void AnswerQueued(Channel& channel) REQUIRES(lock_);
  // Asks the current thread to quit; returns it unless the caller is that thread.
  std::thread DetachCurrent() REQUIRES(lock_);
  void JoinRetired() EXCLUDES(lock_);

  std::atomic<MP3_CALLBACK_FUNC> function_{nullptr};
  std::atomic<uint32_t> mask_{0};
  std::atomic<bool> silenced_{false};

  mutable platform::Mutex lock_;
  platform::CondVar changed_;
  std::shared_ptr<Channel> channel_ GUARDED_BY(lock_);
  std::thread thread_ GUARDED_BY(lock_);
  std::vector<std::thread> retired_ GUARDED_BY(lock_);
  std::map<uint64_t, int32_t> answers_ GUARDED_BY(lock_);
  uint64_t next_ticket_ GUARDED_BY(lock_) = 0;
  uint64_t wake_count_ GUARDED_BY(lock_) = 0;
  std::function<void()> release_ GUARDED_BY(lock_);
  std::thread::id release_thread_ GUARDED_BY(lock_);  // the callback thread that runs it
};
