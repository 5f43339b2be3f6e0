// Playback control on the caller's thread: Play, Stop, Pause, Resume and the status queries.
#include <cstring>

#include "mp3/player/dar3_player.h"

int DAr3::Play() {
  {
    platform::MutexLock hold(lock_);
    if (stream_opening_) {
      SetError("Play->The stream's first frames haven't been pushed yet !");
      return 0;
    }
    if (!IsOpen()) {
      SetError("Play->Stream isn't open !");
      return 0;
    }
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
  buffer_done_event_.Set();
  stream_data_event_.Set();
}

int DAr3::Stop() {
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("Stop->Stream isn't open !");
      return 0;
    }
  }
  if (StopRun()) return 1;
  SetError("Stop->Stream isn't playing !");
  return 0;
}

bool DAr3::StopRun() {
  if (!state_.playing) {
    EndRun();
    return false;
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
  return true;
}

void DAr3::StopFor(int32_t reason) {
  if (!state_.playing) return;
  stop_reason_.Ask(reason);
  StopRun();
}

int DAr3::GetStopReason(int* reason) {
  if (!reason) {
    SetError("GetStopReason->int *pReason can't be NULL");
    return 0;
  }
  *reason = stop_reason_.Last();
  return 1;
}

int DAr3::Pause() {
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("Pause->Stream isn't open !");
      return 0;
    }
  }
  wave_.PauseOutput();
  state_.paused = 1;
  return 1;
}

int DAr3::Resume() {
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("Resume->Stream isn't open !");
      return 0;
    }
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
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) return 0;
  }
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
    self->buffer_done_event_.Set();
    self->state_.buffer_played = 1;
  } else if (message == WOM_CLOSE) {
    self->buffer_done_event_.Set();
  }
}
