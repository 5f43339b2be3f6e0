#pragma once
// The engine's notice thread: delivers wave-output callbacks one by one, in the order they were
// posted, on a thread of its own, so that no callback ever runs under the mixer's lock.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio.h"

namespace platform::audio {

struct Notice {
  WaveOutCallback callback = nullptr;  // may be null: the notice only orders `after`
  WaveOut* device = nullptr;
  uint32_t message = 0;
  uintptr_t instance = 0;
  uintptr_t param1 = 0;
  void (*after)(WaveOut*) = nullptr;  // runs once the callback has returned (frees a closed device)
};

class NoticeThread {
 public:
  void Start();
  // Delivers what is still queued, then ends the thread.
  void Stop();
  // Queues a notice; returns its sequence number. Safe under the mixer's lock.
  uint64_t Post(const Notice& notice);
  uint64_t LastPosted();
  // Waits until every notice up to `sequence` has been delivered; returns at once when called
  // from a callback (the notice thread cannot wait for itself).
  void WaitDelivered(uint64_t sequence);
  bool OnNoticeThread() const;

 private:
  void Run();

  std::mutex lock_;
  std::condition_variable posted_;
  std::condition_variable delivered_;
  std::deque<Notice> queue_;
  uint64_t last_posted_ = 0;
  uint64_t last_delivered_ = 0;
  bool stopping_ = false;
  bool running_ = false;
  std::atomic<std::thread::id> thread_id_{};
  std::thread thread_;  // touched only by Start and Stop
};

}  // namespace platform::audio
