// The caller's notification channel: a callback thread of the player's own receives posted
// (asynchronous) messages and answers synchronous ones while the decoding thread waits.
#include <system_error>

#include "mp3/dar3_player.h"

namespace {
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t kSyncBase = 15871;  // message numbers above WM_USER + this are synchronous
}  // namespace

int DAr3::SetCallbackFunc(MP3_CALLBACK_FUNC callback, unsigned int message_mask) {
  if (!callback) {
    callback_func_ = nullptr;
    callback_mask_ = 0;
    StopCallbackThread();
    return 1;
  }
  StopCallbackThread();
  callback_answer_event_.Reset();
  callback_queue_.Clear();
  pending_posts_ = 0;
  try {
    callback_thread_ = std::thread(&DAr3::CallbackThreadMain, this);
  } catch (const std::system_error&) {
    SetError("SetCallbackFunc->Can't create callback thread !");
    return 0;
  }
  callback_answer_event_.Wait();
  callback_func_ = callback;
  callback_mask_ = message_mask;
  std::lock_guard<std::mutex> guard(send_lock_);
  callback_running_ = true;
  return 1;
}

// A thread is never killed: it is asked to quit and joined.
void DAr3::StopCallbackThread() {
  {
    std::lock_guard<std::mutex> guard(send_lock_);
    callback_running_ = false;
  }
  if (!callback_thread_.joinable()) return;
  callback_queue_.Post(platform::kThreadQuit);
  if (callback_thread_.get_id() == std::this_thread::get_id()) {
    callback_thread_.detach();  // asked from inside the callback: the thread ends by itself
    return;
  }
  callback_thread_.join();
  // A synchronous call made on the sending thread ends before the function may go away.
  std::lock_guard<std::recursive_mutex> wait_for_direct_call(invoke_lock_);
}

void DAr3::CallbackThreadMain() {
  callback_answer_event_.Set();
  platform::ThreadMessage message;
  while (callback_queue_.Get(&message)) {
    const uint32_t k = message.message - WM_USER;
    std::unique_lock<std::recursive_mutex> invoking(invoke_lock_);
    const MP3_CALLBACK_FUNC callback = callback_func_;
    if (k <= kSyncBase) {
      if (callback) last_answer_ = callback(k, message.wparam, message.lparam);
      --pending_posts_;
      continue;
    }
    const int32_t answer = callback ? callback((k - kSyncBase) << 16, message.wparam, message.lparam) : 0;
    --pending_posts_;
    invoking.unlock();
    last_answer_ = answer;
    {
      std::lock_guard<std::mutex> guard(answer_lock_);
      sync_answer_ = answer;
      ++sync_answered_;
    }
    answered_.notify_all();
  }
  // Nobody may wait for an answer from a thread that is gone.
  {
    std::lock_guard<std::mutex> guard(answer_lock_);
    sync_answered_ = sync_posted_;
    sync_answer_ = 0;
  }
  answered_.notify_all();
}

int32_t DAr3::SendCallbackMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  last_answer_ = 0;
  uint64_t ticket = 0;
  {
    std::unique_lock<std::mutex> guard(send_lock_);
    if (!callback_running_) return 0;
    if (message < 0x10000) {
      ++pending_posts_;
      callback_queue_.Post(WM_USER + message, wparam, lparam);
      return 0;
    }
    // Nothing queued ahead of it: answering here saves two thread switches per message.
    std::unique_lock<std::recursive_mutex> invoking(invoke_lock_);
    if (pending_posts_ == 0) {
      const MP3_CALLBACK_FUNC callback = callback_func_;
      guard.unlock();
      const int32_t answer = callback ? callback(message, wparam, lparam) : 0;
      last_answer_ = answer;
      return answer;
    }
    invoking.unlock();
    {
      std::lock_guard<std::mutex> answer_guard(answer_lock_);
      ticket = ++sync_posted_;
    }
    ++pending_posts_;
    callback_queue_.Post(WM_USER + kSyncBase + (message >> 16), wparam, lparam);
  }
  std::unique_lock<std::mutex> answer_guard(answer_lock_);
  answered_.wait(answer_guard, [&] { return sync_answered_ >= ticket; });
  return sync_answer_;
}
