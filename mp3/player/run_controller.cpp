#include "mp3/player/run_controller.h"

#include <system_error>

void RunController::Changed() {
  {
    platform::MutexLock hold(lock_);
    exited_.NotifyAll();
  }
  if (changed_) changed_();
}

RunController::Claim RunController::ClaimLaunch() {
  platform::MutexLock hold(lock_);
  if (refused_) return Claim::kRefused;
  if (launching_ || Exists()) return Claim::kBusy;
  launching_ = true;
  return Claim::kClaimed;
}

void RunController::DropClaim() {
  platform::MutexLock hold(lock_);
  launching_ = false;
}

void RunController::Refuse() {
  platform::MutexLock hold(lock_);
  refused_ = true;
}

std::shared_ptr<RunFlags> RunController::Launch(std::function<void(RunFlags&)> body) {
  auto run = std::make_shared<RunFlags>();
  platform::MutexLock hold(lock_);
  launching_ = false;
  try {
    // The thread's last touch of this object is Changed(); whoever deletes it joins first.
    current_.thread = std::thread([this, run, body = std::move(body)] {
      body(*run);
      run->done = true;
      run->exited = true;
      Changed();
    });
  } catch (const std::system_error&) {
    return nullptr;
  }
  current_.run = run;
  return run;
}

void RunController::SignalStart(RunFlags& run, int result) {
  run.start = result;
  Changed();
}

void RunController::MarkDone(RunFlags& run) {
  run.done = true;
  Changed();
}

std::shared_ptr<RunFlags> RunController::Current() const {
  platform::MutexLock hold(lock_);
  return Exists() ? current_.run : nullptr;
}

bool RunController::IsCurrent(const std::shared_ptr<RunFlags>& run) const {
  platform::MutexLock hold(lock_);
  return run && current_.run == run && Exists();
}

// The run stays current until its thread is joined: no other run may start while it still
// touches the player.
void RunController::Join(const std::shared_ptr<RunFlags>& run) {
  std::thread taken;
  {
    platform::MutexLock hold(lock_);
    if (current_.run != run || !current_.thread.joinable()) {
      // Another caller is joining it, or the callback thread retired it.
      while (current_.run == run && joining_) exited_.Wait(lock_);
      while (!run->exited) exited_.Wait(lock_);
      return;
    }
    taken = std::move(current_.thread);
    joining_ = true;
  }
  taken.join();
  {
    platform::MutexLock hold(lock_);
    current_ = Thread{};
    joining_ = false;
  }
  Changed();
}

void RunController::Retire(const std::shared_ptr<RunFlags>& run) {
  platform::MutexLock hold(lock_);
  if (current_.run != run || !current_.thread.joinable()) return;
  retired_.push_back(std::move(current_));
  current_ = Thread{};
}

void RunController::JoinRetired(bool all) {
  std::vector<Thread> ended;
  {
    platform::MutexLock hold(lock_);
    for (auto it = retired_.begin(); it != retired_.end();) {
      if (all || it->run->exited) {
        ended.push_back(std::move(*it));
        it = retired_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (Thread& run : ended) run.thread.join();
}

bool RunController::AllExited() const {
  platform::MutexLock hold(lock_);
  if (Exists() && !current_.run->exited) return false;
  for (const Thread& run : retired_)
    if (!run.run->exited) return false;
  return true;
}

void RunController::JoinAll() {
  std::shared_ptr<RunFlags> run = Current();
  if (run) Join(run);
  JoinRetired(true);
}
