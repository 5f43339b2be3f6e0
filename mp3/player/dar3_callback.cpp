// The caller's notification channel: a callback thread of the player's own receives posted
// (asynchronous) messages and answers synchronous ones while the decoding thread waits.
#include <chrono>
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
      if (!it->joinable() || it->get_id() == std::this_thread::get_id()) {
        ++it;
        continue;
      }
      ended.push_back(std::move(*it));
      it = retired_callback_threads_.erase(it);
    }
  }
  if (current.joinable()) current.join();
  for (std::thread& thread : ended) thread.join();
}

namespace {
// Who the running callback thread works for, and how deep its calls are nested (an export
// called from a callback delivers messages while it waits, see WaitServingCallbacks).
struct CallbackThreadState {
  const DAr3* owner = nullptr;
  void* channel = nullptr;
  int depth = 0;       // callbacks running on this thread
  int sync_depth = 0;  // of which synchronous
  bool quit = false;   // the queue's quit was taken while nested
};
thread_local CallbackThreadState t_callback;
}  // namespace

bool DAr3::OnCallbackThread() const { return t_callback.owner == this; }
int DAr3::SynchronousCallbackDepth() const { return OnCallbackThread() ? t_callback.sync_depth : 0; }

bool DAr3::InsideSynchronousCallbackOfLiveRun() {
  if (!OnCallbackThread() || t_callback.sync_depth == 0) return false;
  std::lock_guard<std::mutex> hold(run_threads_lock_);
  return run_.thread.joinable() && !run_.flags->done;
}

void DAr3::Dispatch(CallbackChannel& channel, const platform::ThreadMessage& message) {
  const uint32_t k = message.message - WM_USER;
  const MP3_CALLBACK_FUNC callback = release_pending_ ? nullptr : callback_func_.load();
  ++t_callback.depth;
  if (k <= kSyncBase) {
    if (callback) last_answer_ = callback(k, message.wparam, message.lparam);
    --t_callback.depth;
    return;
  }
  uint64_t ticket = 0;
  {
    std::lock_guard<std::mutex> guard(answer_lock_);
    if (!channel.sync_tickets.empty()) {
      ticket = channel.sync_tickets.front();
      channel.sync_tickets.pop_front();
    }
  }
  ++t_callback.sync_depth;
  const int32_t answer = callback ? callback((k - kSyncBase) << 16, message.wparam, message.lparam) : 0;
  --t_callback.sync_depth;
  --t_callback.depth;
  last_answer_ = answer;
  {
    std::lock_guard<std::mutex> guard(answer_lock_);
    sync_answers_[ticket] = answer;
  }
  answered_.notify_all();
}

// Nobody may wait for an answer from a queue that is gone: the sends still queued there are
// answered with 0.
void DAr3::ReleaseWaitingSenders(CallbackChannel& channel) {
  {
    std::lock_guard<std::mutex> guard(answer_lock_);
    for (const uint64_t ticket : channel.sync_tickets) sync_answers_[ticket] = 0;
    channel.sync_tickets.clear();
  }
  answered_.notify_all();
}

void DAr3::CallbackThreadMain(
    std::shared_ptr<CallbackChannel> channel) {  // NOLINT(performance-unnecessary-value-param): the thread's share
  t_callback = CallbackThreadState{this, channel.get()};
  callback_answer_event_.Set();
  platform::ThreadMessage message;
  while (!t_callback.quit && !release_pending_ && channel->queue.Get(&message)) Dispatch(*channel, message);
  ReleaseWaitingSenders(*channel);
  if (release_pending_) ReleaseFromCallbackThread();  // `this` is gone afterwards
  t_callback = CallbackThreadState{};
}

void DAr3::WaitServingCallbacks(const std::function<bool()>& pred) {
  if (!OnCallbackThread()) {
    while (!pred()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  auto& channel = *static_cast<CallbackChannel*>(t_callback.channel);
  while (!pred()) {
    if (t_callback.quit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    platform::ThreadMessage message;
    const int got = channel.queue.GetTimed(&message, 1);
    if (got == 1) {
      Dispatch(channel, message);
    } else if (got == 0) {
      // The callback was replaced or removed meanwhile: this thread ends once its call returns.
      t_callback.quit = true;
      ReleaseWaitingSenders(channel);
    }
  }
}

void DAr3::ReleaseFromCallbackThread() {
  // No callback is called any more; what the runs still send is answered with 0.
  callback_func_ = nullptr;
  callback_mask_ = 0;
  if (state_.playing) stop_reason_.Ask(MP3_STOP_REASON_DESTROY);
  Stop();
  WaitServingCallbacks([this] {
    // A caller still waiting in Play for the start this callback belonged to.
    if (start_waiters_.load(std::memory_order_acquire) > 0) return false;
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    if (run_.thread.joinable() && !run_.flags->exited) return false;
    for (const RunThread& run : retired_runs_)
      if (!run.flags->exited) return false;
    return true;
  });
  {
    // This thread cannot join itself: it is let go, and ends right after the delete.
    std::lock_guard<std::mutex> threads(callback_threads_lock_);
    if (callback_thread_.get_id() == std::this_thread::get_id()) callback_thread_.detach();
    for (std::thread& thread : retired_callback_threads_)
      if (thread.get_id() == std::this_thread::get_id()) thread.detach();
  }
  t_callback = CallbackThreadState{};
  delete this;
}

int32_t DAr3::SendCallbackMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  last_answer_ = 0;
  uint64_t ticket = 0;
  {
    std::unique_lock<std::mutex> guard(send_lock_);
    if (!callback_running_ || !callback_channel_) return 0;
    CallbackChannel& channel = *callback_channel_;
    if (message < 0x10000) {
      channel.queue.Post(WM_USER + message, wparam, lparam);
      return 0;
    }
    // Every synchronous message is answered on the callback thread, in the order sent.
    {
      std::lock_guard<std::mutex> answer_guard(answer_lock_);
      ticket = ++sync_posted_;
      channel.sync_tickets.push_back(ticket);
    }
    channel.queue.Post(WM_USER + kSyncBase + (message >> 16), wparam, lparam);
  }
  std::unique_lock<std::mutex> answer_guard(answer_lock_);
  answered_.wait(answer_guard, [&] { return sync_answers_.count(ticket) != 0; });
  const int32_t answer = sync_answers_[ticket];
  sync_answers_.erase(ticket);
  return answer;
}
