#include "tools/dar3play/player_controls.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "tools/dar3play/devices.h"
#include "tools/dar3play/sound_effects.h"
#include "tools/dar3play/stream_source.h"

namespace {

constexpr int kFadeOutMs = 1500;
// A little longer than the fade, so its last block is heard.
constexpr int kFadeGraceMs = 300;
constexpr int kLoopRepeats = 9999;
constexpr unsigned kMixPercent = 50;

const char* const kWindowNames[] = {
    "rectangular", "Hamming",       "Hann",     "cosine",  "Lanczos",         "Bartlett",         "triangular",
    "Gauss",       "Bartlett-Hann", "Blackman", "Nuttall", "Blackman-Harris", "Blackman-Nuttall", "flat top"};
constexpr int kWindowCount = int(sizeof kWindowNames / sizeof kWindowNames[0]);

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

MP3_TIME Milliseconds(uint32_t ms) {
  MP3_TIME time{};
  time.ms = ms;
  return time;
}

}  // namespace

const char* WindowName(int window_type) {
  return window_type >= 1 && window_type <= kWindowCount ? kWindowNames[window_type - 1] : "?";
}

PlayerControls::PlayerControls(const Options& options, std::vector<PlaylistEntry> entries,
                               std::vector<std::string> problems)
    : options_(options),
      entries_(std::move(entries)),
      order_(entries_.size(), options.shuffle, options.repeat, std::random_device{}()),
      failures_(std::move(problems)) {
  player_.SetGapless(options.gapless);
  eq_preset_ = options.eq_preset;
  echo_mode_ = options.echo_mode;
  if (options.volume >= 0) volume_ = options.volume;
  reverse_ = options.reverse;
}

bool PlayerControls::Report(int ok, const std::string& done) {
  status_line_ = ok ? done : player_.LastError();
  return ok != 0;
}

bool PlayerControls::OpenCurrent() {
  MP3_HANDLE h = player_.handle();
  Mp3_Stop(h);
  Mp3_Close(h);
  started_ = false;
  paused_ = false;
  const std::string& path = entry().location;
  stream_log_.Forget();
  if (!player_.Open(path, options_.buffer_ms, options_.stream)) {
    failures_.push_back(player_.failure());
    status_line_ = player_.failure() + " (skipped)";
    return false;
  }
  // Tracks play gapless (the player was switched at its creation, --no-gapless aside): the
  // encoder's delay and padding are trimmed. The output is still reopened between tracks.
  info_ = ReadTrackInfo(h, path);
  pushed_ = options_.stream || IsStandardInput(path) || IsUrl(path);
  loop_start_ = loop_end_ = 0;
  status_line_ = "Playing " + path;
  ApplySettings();
  if (!Mp3_Play(h)) {
    failures_.push_back(SourceName(path) + ": " + player_.LastError());
    status_line_ = failures_.back() + " (skipped)";
    return false;
  }
  started_ = true;
  ++track_serial_;
  last_position_ = 0;
  clock_.Start(reverse_ ? info_.length.ms : 0);
  return true;
}

bool PlayerControls::StartFromCurrent() {
  // Each entry is tried once at most, so a list of broken files under repeat ends.
  std::string skipped;
  for (size_t tries = 0; tries < entries_.size(); ++tries) {
    if (OpenCurrent()) {
      // The status line keeps telling what was skipped to get here.
      if (!skipped.empty()) status_line_ = skipped;
      return true;
    }
    skipped = status_line_;
    if (!order_.Next(false)) return false;
  }
  return false;
}

bool PlayerControls::Start() { return !entries_.empty() && StartFromCurrent(); }

std::string PlayerControls::Title() const {
  if (const auto notes = player_.stream_notes()) {
    std::string on_air = notes->Get().title;
    if (!on_air.empty()) return on_air;
  }
  if (!info_.tags.title.empty() || entry().title.empty()) return DisplayTitle(info_);
  return entry().title;
}

std::string PlayerControls::Station() const {
  const auto notes = player_.stream_notes();
  return notes ? notes->Get().station : std::string();
}

void PlayerControls::ApplySettings() {
  MP3_HANDLE h = player_.handle();
  // A setting the library refuses shows on the status line and the track still plays.
  std::string refused;
  auto keep = [&](int ok) {
    if (!ok && refused.empty()) refused = player_.LastError();
  };
  if (eq_preset_ > 0) keep(ApplyEqPreset(h, eq_preset_));
  if (echo_mode_ != kEchoOff) keep(ApplyEcho(h, echo_mode_));
  if (volume_ != 100) keep(Mp3_SetPlayerVolume(h, unsigned(volume_), unsigned(volume_)));
  if (vocal_cut_) keep(Mp3_VocalCut(h, 1));
  if (mix_) keep(Mp3_MixChannels(h, 1, kMixPercent, kMixPercent));
  if (reverse_) keep(StartReverseFromEnd(h));
  if (!refused.empty()) status_line_ = refused;
}

bool PlayerControls::Tick() {
  if (quit_requested()) return false;
  if (!started_) return false;
  const size_t told = stream_events().size();
  if (const auto notes = player_.stream_notes()) {
    STREAM_LOAD_INFO load{};
    if (Mp3_GetStreamLoad(player_.handle(), &load)) notes->Played(uint64_t(std::max(0, load.queued_bytes)));
  }
  stream_log_.Follow(player_.stream_notes());
  if (stream_events().size() > told) status_line_ = StatusText(stream_events().back());
  const MP3_STATUS status = Status();
  if (status.playing || status.paused) {
    // A pushed stream's length is what has come so far: it grows while a web stream plays.
    if (pushed_) Mp3_GetSongLength(player_.handle(), &info_.length);
    if (status.playing && !status.paused && !reverse_ && !status.loop) last_position_ = Position();
    return true;
  }
  // The decoding thread ended on its own: the track is over.
  const std::string problem = player_.StreamProblem();
  if (!problem.empty()) {
    failures_.push_back(problem);
    status_line_ = problem;
  } else {
    CheckEndedEarly();
  }
  return order_.Next(true) && StartFromCurrent();
}

void PlayerControls::CheckEndedEarly() {
  if (reverse_ || !info_.length.ms) return;
  // The last position seen lags the end by up to the output buffer and one refresh.
  const uint32_t slack = uint32_t(std::max(2000, options_.buffer_ms + 1000));
  if (last_position_ + slack >= info_.length.ms) return;
  failures_.push_back(SourceName(entry().location) + ": ended at " + FormatClock(last_position_) + " of " +
                      FormatClock(info_.length.ms) + ": the file is cut short or damaged");
  status_line_ = failures_.back();
}

bool PlayerControls::quit_requested() { return quit_ || (fading_out_ && NowMs() >= fade_deadline_ms_); }

MP3_STATUS PlayerControls::Status() const {
  MP3_STATUS status{};
  Mp3_GetStatus(player_.handle(), &status);
  return status;
}

uint32_t PlayerControls::Position() { return clock_.Now(player_.handle(), reverse_); }

void PlayerControls::TogglePause() {
  MP3_HANDLE h = player_.handle();
  if (paused_) {
    if (Report(Mp3_Resume(h), "Playing")) {
      paused_ = false;
      clock_.Resume();
    }
  } else if (Report(Mp3_Pause(h), "Paused")) {
    paused_ = true;
    clock_.Pause();
  }
}

bool PlayerControls::RestartAt(uint32_t ms) {
  MP3_HANDLE h = player_.handle();
  MP3_TIME time = Milliseconds(ms);
  if (!Report(Mp3_Seek(h, TIME_FORMAT_MS, &time, MOVE_FROM_START), "")) return false;
  if (!Report(Mp3_Play(h), "")) return false;
  if (paused_) Mp3_Pause(h);
  clock_.Start(ms);
  if (paused_) clock_.Pause();
  return true;
}

bool PlayerControls::SeekBy(int delta_ms) {
  return SeekTo(uint32_t(std::clamp<int64_t>(int64_t(Position()) + delta_ms, 0, info_.length.ms)));
}

bool PlayerControls::SeekTo(uint32_t ms) {
  if (!started_) {
    status_line_ = "nothing is playing";
    return false;
  }
  const uint32_t target = std::min(ms, info_.length.ms);
  if (!RestartAt(target)) return false;
  status_line_ = "Seek to " + FormatClock(target);
  return true;
}

bool PlayerControls::Load(const std::string& location) {
  std::vector<std::string> problems;
  std::vector<PlaylistEntry> entries = ExpandInputs({location}, &problems);
  if (entries.empty()) {
    status_line_ = problems.empty() ? location + ": nothing to play" : problems.front();
    return false;
  }
  Stop();
  entries_ = std::move(entries);
  order_ = PlayOrder(entries_.size(), order_.shuffled(), order_.repeat(), std::random_device{}());
  return StartFromCurrent();
}

void PlayerControls::Stop() {
  MP3_HANDLE h = player_.handle();
  Mp3_Stop(h);
  Mp3_Close(h);
  started_ = false;
  paused_ = false;
  status_line_ = "Stopped";
}

const PlaylistEntry& PlayerControls::entry() const {
  static const PlaylistEntry kNothing;
  return entries_.empty() ? kNothing : entries_[order_.current()];
}

void PlayerControls::ChangeVolume(int delta) {
  const int level = std::clamp(volume_ + delta, 0, 100);
  if (Report(Mp3_SetPlayerVolume(player_.handle(), unsigned(level), unsigned(level)),
             "Volume " + std::to_string(level))) {
    volume_ = level;
  }
}

void PlayerControls::Next() {
  if (!order_.Next(false)) {
    status_line_ = "Last file";
    return;
  }
  if (!StartFromCurrent()) quit_ = true;
}

void PlayerControls::Previous() {
  // Like a CD player: back to the start first, then to the file before.
  if (Position() > 3000 || !order_.Previous()) {
    RestartAt(0);
    status_line_ = "Start of file";
    return;
  }
  if (!StartFromCurrent()) quit_ = true;
}

void PlayerControls::ToggleShuffle() {
  order_.SetShuffle(!order_.shuffled());
  status_line_ = order_.shuffled() ? "Shuffle on" : "Shuffle off";
}

void PlayerControls::CycleRepeat() {
  const RepeatMode next = order_.repeat() == RepeatMode::kOff   ? RepeatMode::kAll
                          : order_.repeat() == RepeatMode::kAll ? RepeatMode::kOne
                                                                : RepeatMode::kOff;
  order_.SetRepeat(next);
  status_line_ = std::string("Repeat ") + RepeatName(next);
}

void PlayerControls::JumpTo(size_t number) {
  if (number < 1 || !order_.JumpTo(number - 1)) {
    status_line_ = "No entry " + std::to_string(number) + " (1-" + std::to_string(entries_.size()) + ")";
    return;
  }
  if (!StartFromCurrent()) quit_ = true;
}

void PlayerControls::ToggleReverse() {
  const uint32_t at = Position();
  if (Report(Mp3_ReverseMode(player_.handle(), reverse_ ? 0 : 1), reverse_ ? "Forward" : "Reverse")) {
    reverse_ = !reverse_;
    clock_.Start(at);
    if (paused_) clock_.Pause();
  }
}

void PlayerControls::MarkLoopStart() {
  loop_start_ = Position();
  if (loop_end_ <= loop_start_) loop_end_ = 0;
  status_line_ = "Loop start " + FormatClock(loop_start_);
}

void PlayerControls::MarkLoopEnd() {
  loop_end_ = Position();
  if (loop_end_ <= loop_start_) loop_start_ = 0;
  status_line_ = "Loop end " + FormatClock(loop_end_);
}

void PlayerControls::ToggleLoop() {
  MP3_HANDLE h = player_.handle();
  if (Status().loop) {
    if (RestartAt(Position())) status_line_ = "Loop off";
    return;
  }
  const uint32_t end = loop_end_ > loop_start_ ? loop_end_ : info_.length.ms;
  MP3_TIME start_time = Milliseconds(loop_start_), end_time = Milliseconds(end);
  if (Report(Mp3_PlayLoop(h, TIME_FORMAT_MS, &start_time, TIME_FORMAT_MS, &end_time, kLoopRepeats),
             "Looping " + FormatClock(loop_start_) + " - " + FormatClock(end))) {
    paused_ = false;
    clock_.Start(loop_start_);
  }
}

void PlayerControls::CycleEcho() {
  const int next = echo_mode_ + 1 >= kEchoModeCount ? kEchoOff : echo_mode_ + 1;
  if (Report(ApplyEcho(player_.handle(), next), next == kEchoOff ? "Echo off" : "Echo mode " + std::to_string(next))) {
    echo_mode_ = next;
  }
}

void PlayerControls::CycleEq() {
  const int next = (eq_preset_ + 1) % kEqPresetCount;
  if (Report(ApplyEqPreset(player_.handle(), next), std::string("Equalizer ") + EqPresetName(next))) {
    eq_preset_ = next;
  }
}

void PlayerControls::CycleWindow() {
  window_type_ = window_type_ % kWindowCount + 1;
  status_line_ = std::string("Spectrum window ") + WindowName(window_type_);
}

void PlayerControls::ToggleVocalCut() {
  if (Report(Mp3_VocalCut(player_.handle(), vocal_cut_ ? 0 : 1), vocal_cut_ ? "Vocal cut off" : "Vocal cut on")) {
    vocal_cut_ = !vocal_cut_;
  }
}

void PlayerControls::ToggleMix() {
  if (Report(Mp3_MixChannels(player_.handle(), mix_ ? 0 : 1, kMixPercent, kMixPercent),
             mix_ ? "Channels apart" : "Channels mixed")) {
    mix_ = !mix_;
  }
}

bool PlayerControls::SelectDevice(const std::string& wanted, std::string* why) {
  MP3_HANDLE h = player_.handle();
  const int index = FindDevice(DeviceNames(h), wanted, why);
  if (index < 0) return false;
  if (!Mp3_SetWaveOutDevice(h, unsigned(index))) {
    *why = player_.LastError();
    return false;
  }
  device_ = index;
  return true;
}

void PlayerControls::CycleDevice() {
  MP3_HANDLE h = player_.handle();
  const int count = Mp3_EnumerateWaveOut(h);
  if (!Report(count, "")) return;
  const int64_t next = device_ + 1 >= count ? -1 : device_ + 1;
  if (!Report(Mp3_SetWaveOutDevice(h, next < 0 ? WAVE_MAPPER : unsigned(next)), "")) return;
  device_ = next;
  // The device is opened when playback starts, so start again where we are.
  if (RestartAt(Position())) status_line_ = "Output device " + DeviceName();
}

std::string PlayerControls::DeviceName() const {
  if (device_ < 0) return "default";
  WAVE_OUT_INFO info{};
  if (!Mp3_GetWaveOutInfo(player_.handle(), unsigned(device_), &info))
    return std::string("#").append(std::to_string(device_));
  info.product_name[sizeof info.product_name - 1] = '\0';
  return info.product_name;
}

void PlayerControls::FadeOutAndQuit() {
  MP3_TIME time = Milliseconds(kFadeOutMs);
  if (!Report(Mp3_FadeVolume(player_.handle(), FADE_OUT, TIME_FORMAT_MS, &time), "Fading out")) {
    quit_ = true;
    return;
  }
  fading_out_ = true;
  fade_deadline_ms_ = NowMs() + kFadeOutMs + kFadeGraceMs;
}
