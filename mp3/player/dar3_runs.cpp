// The facade's side of the callback dispatcher and the run controller: Play's launch, a run's
// end as each kind of caller waits for it, SetCallbackFunc, and destruction.
#include "mp3/player/dar3_player.h"

int DAr3::SetCallbackFunc(MP3_CALLBACK_FUNC callback, unsigned int message_mask) {
  if (dispatcher_.SetFunction(callback, message_mask)) return 1;
  SetError("SetCallbackFunc->Can't create callback thread !");
  return 0;
}

bool DAr3::InsideSynchronousCallbackOfLiveRun() {
  if (dispatcher_.SynchronousDepth() == 0) return false;
  const std::shared_ptr<RunFlags> run = runs_.Current();
  return run && !run->done;
}

bool DAr3::EndRun() {
  const bool on_callback_thread = dispatcher_.OnCallbackThread();
  runs_.JoinRetired(!on_callback_thread);
  const std::shared_ptr<RunFlags> run = runs_.Current();
  if (!run) return true;
  if (!on_callback_thread) {
    runs_.Join(run);
    return true;
  }
  // The run may be waiting for this very callback's answer; its last notices may need this
  // thread too. It is joined later, once its thread has returned.
  if (!run->done && dispatcher_.SynchronousDepth() > 0) return false;
  dispatcher_.WaitServing([&] { return run->done.load(); });
  runs_.Retire(run);
  return true;
}

void DAr3::PrepareRun(int32_t loop) {
  seek_after_run_ = false;
  state_.loop_active = loop;
  state_.paused = 0;
  state_.played_bytes = 0;
  state_.next_index = 0;
  state_.buffer_played = 0;
  stop_reason_.BeginRun();
  state_.playing = 1;
  run_format_ = format_;
  run_index_ = frame_index_;
}

std::shared_ptr<RunFlags> DAr3::LaunchRun(const char* failure) {
  std::shared_ptr<RunFlags> run = runs_.Launch([this](RunFlags& own) { _ThreadFunc(own); });
  if (run) return run;
  state_.playing = 0;
  state_.loop_active = 0;
  state_.inside_loop = 0;
  SetError(failure);
  return nullptr;
}

void DAr3::EndOfRun(RunFlags& run) {
  stop_reason_.Publish();
  runs_.MarkDone(run);
}

bool DAr3::StartRun(int32_t loop, const char* op, const char* failure, const std::function<void()>& setup) {
  const CountedStart counted(*this);
  // A run another caller started since this one stopped or checked plays on: waiting for it
  // would wait for the song's end.
  if (const std::shared_ptr<RunFlags> live = runs_.Current(); live && !live->done && state_.playing) {
    SetErrorF("%s->Playback was started meanwhile by another call !", op);
    return false;
  }
  if (!EndRun()) {
    SetErrorF("%s->Can't start playback inside a synchronous callback of the run still playing !", op);
    return false;
  }
  // Two callers may get here at once (Play here and Play from a callback): one launches, the
  // other fails as a Play of a playing player does.
  switch (runs_.ClaimLaunch()) {
    case RunController::Claim::kClaimed: break;
    case RunController::Claim::kBusy:
      SetErrorF("%s->Playback was started meanwhile by another call !", op);
      return false;
    case RunController::Claim::kRefused: SetErrorF("%s->Player is being destroyed !", op); return false;
  }
  std::shared_ptr<RunFlags> run;
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen() || closing_) {
      runs_.DropClaim();
      SetErrorF("%s->Stream isn't open !", op);
      return false;
    }
    PrepareRun(loop);
    if (setup) setup();
    run = LaunchRun(failure);
  }
  if (!run) return false;
  dispatcher_.WaitServing([&] { return run->start.load() >= 0; });
  if (run->start.load() == 1) return true;
  // A failed start is undone, unless a run started meanwhile by another caller replaced it.
  if (runs_.IsCurrent(run)) StopRun();
  return false;
}

bool DAr3::StopForChange(const char* refusal) {
  StopRun();
  if (EndRun()) return true;
  SetError(refusal);
  return false;
}

bool DAr3::StopHoldingLaunch(const char* op, const char* refusal) {
  for (;;) {
    if (!StopForChange(refusal)) return false;
    switch (runs_.ClaimLaunch()) {
      case RunController::Claim::kClaimed: return true;
      case RunController::Claim::kBusy: continue;  // another caller started a run meanwhile
      case RunController::Claim::kRefused: SetErrorF("%s->Player is being destroyed !", op); return false;
    }
  }
}

bool DAr3::EnterCall(const char* op) {
  {
    platform::MutexLock hold(lock_);
    if (!destroying_) {
      ++calls_;
      return true;
    }
  }
  SetErrorF("%s->Player is being destroyed !", op);
  return false;
}

void DAr3::LeaveCall() {
  platform::MutexLock hold(lock_);
  --calls_;
  // Woken under the lock: once destruction reads the count 0, this caller touches nothing more.
  if (destroying_) dispatcher_.Wake();
}

DAr3::CountedStart::CountedStart(DAr3& player) : player_(player) {
  platform::MutexLock hold(player_.lock_);
  ++player_.calls_;
}

DAr3::CountedStart::~CountedStart() { player_.LeaveCall(); }

void DAr3::BeginDestroy() {
  {
    platform::MutexLock hold(lock_);
    destroying_ = true;
  }
  if (state_.playing) stop_reason_.Ask(MP3_STOP_REASON_DESTROY);
  runs_.Refuse();
}

void DAr3::WindDown() {
  const bool on_callback_thread = dispatcher_.OnCallbackThread();
  const auto run_exists = [&] { return runs_.Current() != nullptr; };
  // On the callback thread the runs it retired must have returned too: it cannot join one
  // whose last notices wait for it.
  const auto idle = [&] {
    if (on_callback_thread && !runs_.AllExited()) return false;
    platform::MutexLock hold(lock_);
    return calls_ == 0;
  };
  for (;;) {
    if (run_exists()) {
      RequestStop();
      EndRun();
      continue;
    }
    // A call under way may still launch the run it had claimed before destruction began.
    dispatcher_.WaitServing([&] { return run_exists() || idle(); });
    if (!run_exists() && idle()) return;
  }
}

void DAr3::Release() {
  BeginDestroy();
  if (dispatcher_.OnCallbackThread()) {
    // Inside a callback: the player goes once the outermost callback has returned; no
    // callback is called after this one.
    RequestStop();
    dispatcher_.ReleaseAfterCallback([this] { ReleaseFromCallbackThread(); });
    return;
  }
  delete this;
}

void DAr3::ReleaseFromCallbackThread() { delete this; }
