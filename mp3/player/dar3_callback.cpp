// The caller's notification channel: a callback thread of the player's own receives posted
// (asynchronous) messages and answers synchronous ones while the decoding thread waits.
#include <system_error>

#include "mp3/player/dar3_player.h"

namespace {
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t kSyncBase = 15871;  // message numbers above WM_USER + this are synchronous
}  // namespace

int DAr3::SetCallbackFunc(MP3_CALLBACK_FUNC callback, unsigned int message_mask) {
  if (!callback) {
    // Nothing more reaches the old function, not even what is still queued: the caller may
    // free what it uses as soon as this returns.
    callback_func_ = nullptr;
    callback_mask_ = 0;
    StopCallbackThread();
    return 1;
  }
  StopCallbackThread();
  callback_answer_event_.Reset();
  auto channel = std::make_shared<CallbackChannel>();
  {
    std::lock_guard<std::mutex> threads(callback_threads_lock_);
    try {
      callback_thread_ = std::thread(&DAr3::CallbackThreadMain, this, channel);
    } catch (const std::system_error&) {
      SetError("SetCallbackFunc->Can't create callback thread !");
      return 0;
    }
  }
  callback_answer_event_.Wait();
  callback_func_ = callback;
  callback_mask_ = message_mask;
  std::lock_guard<std::mutex> guard(send_lock_);
  callback_channel_ = std::move(channel);
  callback_running_ = true;
  return 1;
}

// A thread is never killed: it is asked to quit, after the messages already queued for it,
// and joined.
void DAr3::StopCallbackThread() {
  std::shared_ptr<CallbackChannel> channel;
  {
    std::lock_guard<std::mutex> guard(send_lock_);
    callback_running_ = false;
    channel = std::move(callback_channel_);
  }
  std::thread current;
  std::vector<std::thread> ended;
  {
    std::lock_guard<std::mutex> threads(callback_threads_lock_);
    if (callback_thread_.joinable()) {
      if (channel) channel->queue.Post(platform::kThreadQuit);
      if (callback_thread_.get_id() == std::this_thread::get_id()) {
        // Asked from inside the callback: the thread ends once this call returns.
        retired_callback_threads_.push_back(std::move(callback_thread_));
        return;
      }
      current = std::move(callback_thread_);
    }
    // Threads retired earlier end by themselves; all but this one can be joined.
    for (auto it = retired_callback_threads_.begin(); it != retired_callback_threads_.end();) {
      if (it->get_id() == std::this_thread::get_id()) {
        ++it;
        continue;
      }
      ended.push_back(std::move(*it));
      it = retired_callback_threads_.erase(it);
    }
  }
  if (current.joinable()) current.join();
  for (std::thread& thread : ended) thread.join();
  // A synchronous call made on the sending thread ends before the function may go away.
  std::lock_guard<std::recursive_mutex> wait_for_direct_call(invoke_lock_);
}

void DAr3::CallbackThreadMain(std::shared_ptr<CallbackChannel> channel) {
  callback_answer_event_.Set();
  platform::ThreadMessage message;
  while (channel->queue.Get(&message)) {
    const uint32_t k = message.message - WM_USER;
    std::unique_lock<std::recursive_mutex> invoking(invoke_lock_);
    const MP3_CALLBACK_FUNC callback = callback_func_;
    if (k <= kSyncBase) {
      if (callback) last_answer_ = callback(k, message.wparam, message.lparam);
      --channel->pending;
      continue;
    }
    const int32_t answer = callback ? callback((k - kSyncBase) << 16, message.wparam, message.lparam) : 0;
    --channel->pending;
    invoking.unlock();
    last_answer_ = answer;
    {
      std::lock_guard<std::mutex> guard(answer_lock_);
      sync_answer_ = answer;
      ++sync_answered_;
    }
    answered_.notify_all();
  }
  // Nobody may wait for an answer from a thread that is gone. Only one synchronous send is
  // ever outstanding; release it if it was posted here.
  {
    std::lock_guard<std::mutex> guard(answer_lock_);
    if (channel->last_ticket > sync_answered_) {
      sync_answered_ = channel->last_ticket;
      sync_answer_ = 0;
    }
  }
  answered_.notify_all();
}

int32_t DAr3::SendCallbackMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  last_answer_ = 0;
  uint64_t ticket = 0;
  {
    std::unique_lock<std::mutex> guard(send_lock_);
    if (!callback_running_ || !callback_channel_) return 0;
    CallbackChannel& channel = *callback_channel_;
    if (message < 0x10000) {
      ++channel.pending;
      channel.queue.Post(WM_USER + message, wparam, lparam);
      return 0;
    }
    // Nothing queued ahead of it: answering here saves two thread switches per message. Never
    // wait for the callback thread's call to end while holding send_lock_: that call may be
    // changing the callback, which needs send_lock_.
    std::unique_lock<std::recursive_mutex> invoking(invoke_lock_, std::try_to_lock);
    if (invoking.owns_lock() && channel.pending == 0) {
      const MP3_CALLBACK_FUNC callback = callback_func_;
      guard.unlock();
      const int32_t answer = callback ? callback(message, wparam, lparam) : 0;
      last_answer_ = answer;
      return answer;
    }
    if (invoking.owns_lock()) invoking.unlock();
    {
      std::lock_guard<std::mutex> answer_guard(answer_lock_);
      ticket = ++sync_posted_;
      channel.last_ticket = ticket;
    }
    ++channel.pending;
    channel.queue.Post(WM_USER + kSyncBase + (message >> 16), wparam, lparam);
  }
  std::unique_lock<std::mutex> answer_guard(answer_lock_);
  answered_.wait(answer_guard, [&] { return sync_answered_ >= ticket; });
  return sync_answer_;
}
