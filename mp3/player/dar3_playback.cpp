// Playback control on the caller's thread: Play, Stop, Pause, Resume and the status queries.
#include <cstring>
#include <system_error>

#include "mp3/player/dar3_player.h"

void DAr3::PrepareRun(int32_t loop) {
  if (decode_thread_.joinable()) decode_thread_.join();
  start_event_.Reset();
  ResetRunSeekMark();
  state_.loop_active = loop;
  state_.paused = 0;
  state_.played_bytes = 0;
  state_.next_index = 0;
  state_.buffer_played = 0;
  state_.playing = 1;
  state_.start_result = 1;
}

bool DAr3::LaunchRun(const char* failure) {
  try {
    decode_thread_ = std::thread(&DAr3::_ThreadFunc, this);
    return true;
  } catch (const std::system_error&) {
    state_.playing = 0;
    state_.loop_active = 0;
    state_.inside_loop = 0;
    SetError(failure);
    return false;
  }
}

int DAr3::Play() {
  if (!format_.data_start) {
    SetError("Play->Stream isn't open !");
    return 0;
  }
  if (state_.paused && state_.playing) return Resume();
  if (state_.playing) return 0;
  if (OnDecodingThread()) {
    SetError("Play->Can't start playback from inside a synchronous callback !");
    return 0;
  }
  PrepareRun(0);
  if (!LaunchRun("Play->Can't create decoding thread !")) return 0;
  start_event_.Wait();
  if (state_.start_result) return 1;
  Stop();
  return 0;
}

int DAr3::Stop() {
  if (!format_.data_start) {
    SetError("Stop->Stream isn't open !");
    return 0;
  }
  if (!state_.playing) return 0;
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
  if (decode_thread_.joinable() && !OnDecodingThread()) decode_thread_.join();
  fade_.Reset();
  SyncFadeSwitches();
  state_.was_playing = 0;
  if (effects_.pushed_stream) ActiveStreamQueue().Clear();
  state_.byte_position = 0;
  return 1;
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
  auto* self = reinterpret_cast<DAr3*>(instance);
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
