// Playback control on the caller's thread: Play, Stop, Pause, Resume and the status queries.
#include <cstring>
#include <system_error>

#include "mp3/player/dar3_player.h"

namespace {
// How long one wait for a run's start sleeps before it looks at the run's own result again.
constexpr uint32_t kStartWaitMs = 2;
}  // namespace

void DAr3::JoinRetiredRuns(bool all) {
  std::vector<RunThread> ended;
  {
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    for (auto it = retired_runs_.begin(); it != retired_runs_.end();) {
      if (all || it->flags->exited) {
        ended.push_back(std::move(*it));
        it = retired_runs_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (RunThread& run : ended) run.thread.join();
}

bool DAr3::EndRun() {
  const bool on_callback_thread = OnCallbackThread();
  JoinRetiredRuns(!on_callback_thread);
  std::shared_ptr<RunFlags> flags;
  {
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    if (!run_.thread.joinable()) return true;
    flags = run_.flags;
  }
  if (on_callback_thread) {
    // The run may be waiting for this very callback's answer; its last notices may need this
    // thread too. It is joined later, once its thread has returned.
    if (!flags->done && SynchronousCallbackDepth() > 0) return false;
    WaitServingCallbacks([&] { return flags->done.load(); });
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    if (run_.flags == flags) retired_runs_.push_back(std::move(run_));
    return true;
  }
  RunThread run;
  {
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    if (run_.flags != flags) return true;
    run = std::move(run_);
  }
  run.thread.join();
  return true;
}

void DAr3::PrepareRun(int32_t loop) {
  start_event_.Reset();
  ResetRunSeekMark();
  state_.loop_active = loop;
  state_.paused = 0;
  state_.played_bytes = 0;
  state_.next_index = 0;
  state_.buffer_played = 0;
  stop_reason_.BeginRun();
  state_.playing = 1;
}

bool DAr3::ClaimLaunch() {
  std::lock_guard<std::mutex> hold(run_threads_lock_);
  if (launching_ || run_.thread.joinable()) return false;
  launching_ = true;
  return true;
}

std::shared_ptr<DAr3::RunFlags> DAr3::LaunchRun(const char* failure) {
  try {
    auto flags = std::make_shared<RunFlags>();
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    run_.thread = std::thread([this, flags] {
      _ThreadFunc(*flags);
      flags->done = true;
      flags->exited = true;
    });
    run_.flags = flags;
    // The claim ends with the run's existence, in the same hold: a handler of the new run's
    // first notice may stop it and start the next at once.
    launching_ = false;
    return flags;
  } catch (const std::exception&) {
    state_.playing = 0;
    state_.loop_active = 0;
    state_.inside_loop = 0;
    SetError(failure);
    return nullptr;
  }
}

bool DAr3::StartRun(int32_t loop, const char* op, const char* failure, const std::function<void()>& setup) {
  // Counted from before the run exists until the last touch of the player: the decrement is
  // the leaving caller's last access, so a release waiting for it may delete at once.
  struct StartWaiter {
    std::atomic<int>& count;
    explicit StartWaiter(std::atomic<int>& c) : count(c) { count.fetch_add(1, std::memory_order_relaxed); }
    ~StartWaiter() { count.fetch_sub(1, std::memory_order_release); }
  } waiting{start_waiters_};
  if (!EndRun()) {
    SetErrorF("%s->Can't start playback inside a synchronous callback of the run still playing !", op);
    return false;
  }
  // Two callers may get here at once (Play here and Play from a callback): one launches, the
  // other fails as a Play of a playing player does.
  if (!ClaimLaunch()) {
    SetErrorF("%s->Playback was started meanwhile by another call !", op);
    return false;
  }
  std::shared_ptr<RunFlags> flags;
  {
    struct LaunchClaim {
      DAr3& player;
      ~LaunchClaim() {
        std::lock_guard<std::mutex> hold(player.run_threads_lock_);
        player.launching_ = false;
      }
    } claim{*this};
    PrepareRun(loop);
    if (setup) setup();
    flags = LaunchRun(failure);
  }
  if (!flags) return false;
  // The signal may wake another caller waiting for a start of its own (or be reset by the
  // next run's start): the run's own result is what ends the wait.
  const auto started = [&] { return flags->start.load() >= 0; };
  if (OnCallbackThread()) {
    WaitServingCallbacks(started);
  } else {
    while (!started()) start_event_.Wait(kStartWaitMs);
  }
  if (flags->start.load() == 1) return true;
  // A failed start is undone, unless a run started meanwhile by another caller replaced it.
  bool current = false;
  {
    std::lock_guard<std::mutex> hold(run_threads_lock_);
    current = run_.flags == flags;
  }
  if (current) Stop();
  return false;
}

int DAr3::Play() {
  if (!format_.data_start) {
    SetError("Play->Stream isn't open !");
    return 0;
  }
  if (state_.paused && state_.playing) return Resume();
  if (state_.playing) {
    SetError("Play->Stream is already playing !");
    return 0;
  }
  return StartRun(0, "Play", "Play->Can't create decoding thread !") ? 1 : 0;
}

void DAr3::RequestStop() {
  state_.buffer_played = 0;
  state_.loop_active = 0;
  state_.inside_loop = 0;
  // This order leaves the thread no wait it could stay in.
  wave_.PauseOutput();
  state_.playing = 0;
  state_.paused = 0;
  stream_data_event_.Set();
  wave_.ResetOutput();
  if (buffer_done_event_) buffer_done_event_->Set();
  stream_data_event_.Set();
}

int DAr3::Stop() {
  if (!format_.data_start) {
    SetError("Stop->Stream isn't open !");
    return 0;
  }
  if (!state_.playing) {
    EndRun();
    SetError("Stop->Stream isn't playing !");
    return 0;
  }
  stop_reason_.Ask(MP3_STOP_REASON_STOP);
  RequestStop();
  // Inside a synchronous callback of this run the thread ends after the callback returns.
  EndRun();
  fade_.Reset();
  SyncFadeSwitches();
  state_.was_playing = 0;
  if (effects_.pushed_stream) ActiveStreamQueue().Clear();
  state_.byte_position = 0;
  return 1;
}

void DAr3::StopFor(int32_t reason) {
  if (!format_.data_start || !state_.playing) return;
  stop_reason_.Ask(reason);
  Stop();
}

int DAr3::GetStopReason(int* reason) {
  if (!reason) {
    SetError("GetStopReason->int *pReason can't be NULL");
    return 0;
  }
  *reason = stop_reason_.Last();
  return 1;
}

bool DAr3::StopForChange(const char* refusal) {
  if (format_.data_start) Stop();
  if (EndRun()) return true;
  SetError(refusal);
  return false;
}

int DAr3::Pause() {
  if (!format_.data_start) {
    SetError("Pause->Stream isn't open !");
    return 0;
  }
  wave_.PauseOutput();
  state_.paused = 1;
  return 1;
}

int DAr3::Resume() {
  if (!format_.data_start) {
    SetError("Resume->Stream isn't open !");
    return 0;
  }
  wave_.RestartOutput();
  state_.paused = 0;
  return 1;
}

int DAr3::GetStatus(MP3_STATUS* status) {
  if (!status) {
    SetError("GetStatus->MP3_STATUS *pStatus - this parameter can't be NULL");
    return 0;
  }
  const bool paused = state_.paused != 0;
  const bool playing = state_.playing != 0;
  status->playing = playing && !paused;
  status->paused = paused;
  status->stopped = !playing && !paused;
  status->echo = effects_.echo_on;
  status->echo_mode = effects_.echo_mode;
  status->fft_eq = effects_.fft_eq_on;
  status->subband_eq = effects_.subband_eq_on;
  status->vocal_cut = effects_.vocal_cut;
  status->channel_mix = effects_.mix_channels;
  status->fade_in = effects_.fade_in_active;
  status->fade_out = effects_.fade_out_active;
  status->internal_volume = effects_.internal_volume;
  status->loop = state_.inside_loop;
  status->reverse = effects_.reverse_mode;
  return 1;
}

int DAr3::GetBitrate(int average) {
  if (!format_.data_start) return 0;
  if (!average) return static_cast<int>(state_.current_bitrate / 1000);
  const uint32_t frames = state_.decoded_frames;
  return frames ? static_cast<int>(state_.kbit_sum / frames) : 0;
}

void DAr3::WaveOutCallback(uint32_t message, uintptr_t instance, platform::WaveHeader* header) {
  auto* self = reinterpret_cast<DAr3*>(instance);  // NOLINT(performance-no-int-to-ptr): ours, passed back
  if (message == WOM_DONE && header) {
    self->state_.played_bytes += header->length;
    uint32_t next = static_cast<uint32_t>(header->user) + 1;
    if (next == self->wave_.GetBufferCount()) next = 0;
    self->state_.next_index = next;
    if (self->buffer_done_event_) self->buffer_done_event_->Set();
    self->state_.buffer_played = 1;
  } else if (message == WOM_CLOSE) {
    if (self->buffer_done_event_) self->buffer_done_event_->Set();
  }
}
