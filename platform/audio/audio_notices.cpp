#include "platform/audio/audio_notices.h"

namespace platform::audio {

void NoticeThread::Start() {
  std::unique_lock<std::mutex> guard(lock_);
  if (running_ && stopping_) {
    // Stopped and started again from inside a notice: the thread simply carries on.
    if (OnNoticeThread()) {
      stopping_ = false;
      return;
    }
    // A thread still delivering its last notices ends first; then a new one starts.
    delivered_.wait(guard, [&] { return !running_; });
  }
  if (running_) return;
  if (thread_.joinable()) thread_.join();  // a thread that a callback detached from itself
  stopping_ = false;
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

void NoticeThread::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (!running_ || stopping_) return;
    stopping_ = true;
  }
  posted_.notify_all();
  if (OnNoticeThread()) return;  // a callback shut the engine down; Start joins the thread later
  thread_.join();
}

uint64_t NoticeThread::Post(const Notice& notice) {
  uint64_t sequence;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back(notice);
    sequence = ++last_posted_;
  }
  posted_.notify_one();
  return sequence;
}

uint64_t NoticeThread::LastPosted() {
  std::lock_guard<std::mutex> guard(lock_);
  return last_posted_;
}

void NoticeThread::WaitDelivered(uint64_t sequence) {
  if (OnNoticeThread()) return;
  std::unique_lock<std::mutex> guard(lock_);
  delivered_.wait(guard, [&] { return last_delivered_ >= sequence || !running_; });
}

bool NoticeThread::OnNoticeThread() const {
  return thread_id_.load(std::memory_order_acquire) == std::this_thread::get_id();
}

void NoticeThread::Run() {
  thread_id_.store(std::this_thread::get_id(), std::memory_order_release);
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    posted_.wait(guard, [&] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) break;  // stopping, and everything delivered
    Notice notice = queue_.front();
    queue_.pop_front();
    guard.unlock();
    if (notice.callback) notice.callback(notice.device, notice.message, notice.instance, notice.param1, 0);
    if (notice.after) notice.after(notice.device);
    guard.lock();
    ++last_delivered_;
    delivered_.notify_all();
  }
  running_ = false;
  thread_id_.store(std::thread::id(), std::memory_order_release);
  delivered_.notify_all();
}

}  // namespace platform::audio
