#include "mp3/player/callback_dispatcher.h"

#include <system_error>
#include <utility>

namespace {
// Who the running callback thread works for, and how deep its calls are nested (a call made
// from a callback delivers notices while it waits, see WaitServing).
struct CallbackThreadState {
  const CallbackDispatcher* owner = nullptr;
  void* channel = nullptr;
  int depth = 0;       // callbacks running on this thread
  int sync_depth = 0;  // of which synchronous
};
thread_local CallbackThreadState t_callback;
}  // namespace

CallbackDispatcher::~CallbackDispatcher() { Shutdown(); }

bool CallbackDispatcher::OnCallbackThread() const { return t_callback.owner == this; }

int CallbackDispatcher::SynchronousDepth() const { return OnCallbackThread() ? t_callback.sync_depth : 0; }

std::thread CallbackDispatcher::DetachCurrent() {
  if (channel_) channel_->quit = true;
  channel_.reset();
  changed_.NotifyAll();
  if (!thread_.joinable()) return {};
  if (thread_.get_id() == std::this_thread::get_id()) {
    // Asked from inside the callback: the thread ends once this call returns.
    retired_.push_back(std::move(thread_));
    return {};
  }
  return std::move(thread_);
}

bool CallbackDispatcher::SetFunction(MP3_CALLBACK_FUNC function, uint32_t mask) {
  if (!function) {
    function_ = nullptr;
    mask_ = 0;
    Shutdown();
    return true;
  }
  auto channel = std::make_shared<Channel>();
  std::thread thread;
  try {
    thread = std::thread(&CallbackDispatcher::ThreadMain, this, channel);
  } catch (const std::system_error&) {
    return false;
  }
  // One swap: no send falls between the old thread and the new one. The old thread delivers
  // what it still holds (to the new function) and ends.
  std::thread replaced;
  {
    platform::MutexLock hold(lock_);
    replaced = DetachCurrent();
    thread_ = std::move(thread);
    channel_ = std::move(channel);
    function_ = function;
    mask_ = mask;
  }
  if (replaced.joinable()) replaced.join();
  JoinRetired();
  return true;
}

// A thread is never killed: it is asked to quit, after the notices already queued for it, and
// joined.
void CallbackDispatcher::Shutdown() {
  std::thread current;
  {
    platform::MutexLock hold(lock_);
    current = DetachCurrent();
  }
  if (current.joinable()) current.join();
  JoinRetired();
}

// Threads retired earlier end by themselves; all but this one can be joined.
void CallbackDispatcher::JoinRetired() {
  std::vector<std::thread> ended;
  {
    platform::MutexLock hold(lock_);
    for (auto it = retired_.begin(); it != retired_.end();) {
      if (!it->joinable() || it->get_id() == std::this_thread::get_id()) {
        ++it;
        continue;
      }
      ended.push_back(std::move(*it));
      it = retired_.erase(it);
    }
  }
  for (std::thread& thread : ended) thread.join();
}

int32_t CallbackDispatcher::Notify(uint32_t async_bit, intptr_t wparam, intptr_t lparam) {
  int32_t answer = 0;
  if (Wants(async_bit << 16)) answer = Send(async_bit << 16, wparam, lparam);
  if (Wants(async_bit)) Send(async_bit, wparam, lparam);
  return answer;
}

int32_t CallbackDispatcher::Send(uint32_t message, intptr_t wparam, intptr_t lparam) {
  platform::MutexLock hold(lock_);
  if (!channel_) return 0;
  const bool synchronous = message >= 0x10000;
  const uint64_t ticket = synchronous ? ++next_ticket_ : 0;
  channel_->queue.push_back(Notice{message, wparam, lparam, ticket});
  changed_.NotifyAll();
  if (!synchronous) return 0;
  // Answers need not come in the order sent: a synchronous callback may run nested inside
  // another (see WaitServing).
  while (answers_.count(ticket) == 0) changed_.Wait(lock_);
  const int32_t answer = answers_[ticket];
  answers_.erase(ticket);
  return answer;
}

void CallbackDispatcher::Answer(uint64_t ticket, int32_t answer) {
  answers_[ticket] = answer;
  changed_.NotifyAll();
}

// Nobody may wait for an answer from a queue that is gone: the sends still queued there are
// answered with 0.
void CallbackDispatcher::AnswerQueued(Channel& channel) {
  for (const Notice& notice : channel.queue)
    if (notice.ticket) Answer(notice.ticket, 0);
  channel.queue.clear();
}

void CallbackDispatcher::Deliver(const Notice& notice) {
  const MP3_CALLBACK_FUNC function = silenced_ ? nullptr : function_.load();
  const bool synchronous = notice.ticket != 0;
  ++t_callback.depth;
  if (synchronous) ++t_callback.sync_depth;
  const int32_t answer = function ? function(notice.message, notice.wparam, notice.lparam) : 0;
  if (synchronous) --t_callback.sync_depth;
  --t_callback.depth;
  if (!synchronous) return;
  platform::MutexLock hold(lock_);
  Answer(notice.ticket, answer);
}

bool CallbackDispatcher::Next(Channel& channel, Notice* notice) {
  platform::MutexLock hold(lock_);
  const auto releasing = [&]() REQUIRES(lock_) { return release_ && release_thread_ == std::this_thread::get_id(); };
  while (channel.queue.empty() && !channel.quit && !releasing()) changed_.Wait(lock_);
  if (releasing() || channel.queue.empty()) return false;
  *notice = channel.queue.front();
  channel.queue.pop_front();
  return true;
}

void CallbackDispatcher::ThreadMain(const std::shared_ptr<Channel>& channel) {
  t_callback = CallbackThreadState{this, channel.get()};
  Notice notice;
  while (Next(*channel, &notice)) Deliver(notice);
  std::function<void()> release;
  {
    platform::MutexLock hold(lock_);
    AnswerQueued(*channel);
    if (release_ && release_thread_ == std::this_thread::get_id()) {
      release = std::move(release_);
      release_ = nullptr;
      // This thread cannot join itself: it is let go, and ends right after the release.
      if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
      for (std::thread& thread : retired_)
        if (thread.get_id() == std::this_thread::get_id()) thread.detach();
    }
  }
  if (release) release();  // `this` is gone afterwards
  t_callback = CallbackThreadState{};
}

void CallbackDispatcher::ReleaseAfterCallback(std::function<void()> release) {
  Silence();
  platform::MutexLock hold(lock_);
  release_ = std::move(release);
  release_thread_ = std::this_thread::get_id();
  changed_.NotifyAll();
}

void CallbackDispatcher::Wake() {
  platform::MutexLock hold(lock_);
  ++wake_count_;
  changed_.NotifyAll();
}

void CallbackDispatcher::WaitServing(const std::function<bool()>& done) {
  const bool serving = OnCallbackThread();
  auto* channel = serving ? static_cast<Channel*>(t_callback.channel) : nullptr;
  for (;;) {
    uint64_t seen = 0;
    {
      platform::MutexLock hold(lock_);
      seen = wake_count_;
    }
    if (done()) return;
    platform::MutexLock hold(lock_);
    if (channel && !channel->queue.empty()) {
      const Notice notice = channel->queue.front();
      channel->queue.pop_front();
      hold.Unlock();
      Deliver(notice);
      continue;
    }
    while (wake_count_ == seen && !(channel && !channel->queue.empty())) changed_.Wait(lock_);
  }
}
