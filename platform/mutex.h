#pragma once
// A mutex, its scoped hold and a condition variable that clang's thread-safety analysis
// understands (the standard library's are not annotated here). Thin wrappers over std::mutex
// and std::condition_variable: no cost beyond theirs.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/thread_annotations.h"

namespace platform {

class CAPABILITY("mutex") Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void Lock() ACQUIRE() { mutex_.lock(); }
  void Unlock() RELEASE() { mutex_.unlock(); }

 private:
  friend class CondVar;
  std::mutex mutex_;
};

// Holds the mutex for its scope; Unlock and Lock let go of it for a call made without it.
class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~MutexLock() RELEASE() {
    if (held_) mutex_.Unlock();
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  void Unlock() RELEASE() {
    mutex_.Unlock();
    held_ = false;
  }
  void Lock() ACQUIRE() {
    mutex_.Lock();
    held_ = true;
  }

 private:
  Mutex& mutex_;
  bool held_ = true;
};

class CondVar {
 public:
  // Waits with `mutex` held (it is let go during the wait and held again after).
  void Wait(Mutex& mutex) REQUIRES(mutex) {
    std::unique_lock<std::mutex> hold(mutex.mutex_, std::adopt_lock);
    changed_.wait(hold);
    hold.release();
  }
  // False when the time ran out.
  bool WaitFor(Mutex& mutex, std::chrono::milliseconds limit) REQUIRES(mutex) {
    std::unique_lock<std::mutex> hold(mutex.mutex_, std::adopt_lock);
    const bool woken = changed_.wait_for(hold, limit) == std::cv_status::no_timeout;
    hold.release();
    return woken;
  }
  void NotifyAll() { changed_.notify_all(); }
  void NotifyOne() { changed_.notify_one(); }

 private:
  std::condition_variable changed_;
};

}  // namespace platform
