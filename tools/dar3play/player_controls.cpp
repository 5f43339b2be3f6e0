#include "tools/dar3play/player_controls.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "tools/dar3play/callback_router.h"
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
      output_(options.buffer_ms),
      feed_(&output_),
      meters_(output_),
      failures_(std::move(problems)) {
  player_.SetGapless(options.gapless);
  // The player decodes without a device; its blocks go to the output, which stays open.
  SetPlayerEventHandler([this](uint32_t m, intptr_t w, intptr_t l) { return feed_.OnEvent(m, w, l); });
  Mp3_SetCallbackFunc(player_.handle(), RoutePlayerEvent, MP3_EVENT_WAVE_BUFFER);
  eq_preset_ = options.eq_preset;
  echo_mode_ = options.echo_mode;
  if (options.volume >= 0) volume_ = options.volume;
  reverse_ = options.reverse;
}

PlayerControls::~PlayerControls() {
  output_.Cancel();
  Mp3_Stop(player_.handle());
  Mp3_SetCallbackFunc(player_.handle(), nullptr, 0);
  SetPlayerEventHandler(nullptr);
}

bool PlayerControls::Report(int ok, const std::string& done) {
  status_line_ = ok ? done : player_.LastError();
  return ok != 0;
}

void PlayerControls::Halt() {
  // The decoder may be waiting for room in the output: it gives up first, then the run stops.
  output_.Cancel();
  Mp3_Stop(player_.handle());
  output_.Flush();
  begin_pending_ = false;
  ending_ = false;
}

void PlayerControls::Skip(const std::string& why) {
  failures_.push_back(why);
  status_line_ = why + " (skipped)";
}

bool PlayerControls::OpenCurrent(bool follow) {
  MP3_HANDLE h = player_.handle();
  if (follow) {
    Mp3_Stop(h);  // the run is over already; this joins it
  } else {
    Halt();
  }
  Mp3_Close(h);
  started_ = false;
  if (paused_) output_.Resume();
  paused_ = false;
  const std::string& path = entry().location;
  stream_log_.Forget();
  if (!player_.Open(path, 0, options_.stream)) {
    Skip(player_.failure());
    return false;
  }
  // Tracks play gapless (the player was switched at its creation, --no-gapless aside): the
  // encoder's delay and padding are trimmed, and the output stays open from track to track.
  info_ = ReadTrackInfo(h, path);
  info_.replay_gain = player_.replay_gain();
  if (const auto notes = player_.stream_notes()) info_.web = notes->Facts();
  pushed_ = options_.stream || IsStandardInput(path) || IsUrl(path);
  loop_start_ = loop_end_ = 0;
  status_line_ = "Playing " + SourceName(path);
  ApplySettings();
  // One device has one rate: another waits until the end of the last track has been heard.
  if (follow && output_.is_open() && output_.rate() != uint32_t(info_.format.sample_rate) && !output_.Drained()) {
    begin_pending_ = true;
    started_ = true;
    return true;
  }
  return Begin();
}

bool PlayerControls::OpenOutput() {
  std::string why;
  const uint32_t device = device_ < 0 ? platform::kWaveMapper : uint32_t(device_);
  if (output_.Open(uint32_t(info_.format.sample_rate), device, &why)) return true;
  status_line_ = why;
  return false;
}

bool PlayerControls::Begin() {
  MP3_HANDLE h = player_.handle();
  begin_pending_ = false;
  started_ = false;
  if (!OpenOutput()) {
    Skip(SourceName(entry().location) + ": " + status_line_);
    return false;
  }
  feed_.SetGain(ReplayGainFactor(info_.replay_gain, options_.replay_gain));
  track_start_frame_ = output_.written_frames();
  if (!Mp3_Play(h)) {
    Skip(SourceName(entry().location) + ": " + player_.LastError());
    return false;
  }
  started_ = true;
  stopped_ = false;
  announced_ = false;
  last_position_ = 0;
  AnnounceWhenHeard();
  return true;
}

void PlayerControls::AnnounceWhenHeard() {
  if (announced_ || output_.written_frames() - output_.queued_frames() < track_start_frame_) return;
  announced_ = true;
  shown_info_ = info_;
  shown_index_ = order_.current();
  ++track_serial_;
  clock_.Start(reverse_ ? info_.length.ms : 0);
  if (paused_) clock_.Pause();
}

bool PlayerControls::StartFromCurrent(bool follow) {
  // Each entry is tried once at most, so a list of broken files under repeat ends.
  std::string skipped;
  for (size_t tries = 0; tries < entries_.size(); ++tries) {
    if (OpenCurrent(follow)) {
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
  const std::string& listed = entries_.empty() ? std::string() : entries_[shown_index_].title;
  if (!shown_info_.tags.title.empty() || listed.empty()) return DisplayTitle(shown_info_);
  return listed;
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
  if (poll_hook_) poll_hook_();
  if (quit_requested()) return false;
  // The list is done (or nothing after it would play); what the output holds is still heard.
  if (ending_) return !output_.Drained();
  // Stopped on request, the player waits for Play, Next, Load or Quit.
  if (!started_) return stopped_;
  AnnounceWhenHeard();
  if (begin_pending_) {
    if (!output_.Drained() || Begin() || (order_.Next(true) && StartFromCurrent(true))) return true;
    ending_ = true;
    return false;
  }
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
    if (pushed_) {
      Mp3_GetSongLength(player_.handle(), &info_.length);
      if (announced_) shown_info_.length = info_.length;  // the track heard is this one
    }
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
  if (order_.Next(true) && StartFromCurrent(true)) return true;
  ending_ = true;
  return !output_.Drained();
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

uint32_t PlayerControls::Position() {
  AnnounceWhenHeard();
  const uint64_t rate = output_.rate() ? output_.rate() : 44100;
  const uint32_t queued_ms = output_.QueuedMs();
  const bool after_shown_track = ending_ || begin_pending_;  // nothing but the track shown is queued
  if (!announced_ || after_shown_track) {
    // The end of the track shown is still sounding: it lies before the next track's start.
    const uint64_t heard = output_.written_frames() - output_.queued_frames();
    const uint64_t left =
        after_shown_track ? output_.queued_frames() : track_start_frame_ - std::min(track_start_frame_, heard);
    const uint32_t left_ms = uint32_t(left * 1000 / rate);
    if (reverse_) return left_ms;
    return shown_info_.length.ms > left_ms ? shown_info_.length.ms - left_ms : 0;
  }
  // The player's position is that of the last block decoded; the output holds what follows.
  const uint32_t decoded = clock_.Now(player_.handle(), reverse_);
  if (reverse_) return std::min(decoded + queued_ms, info_.length.ms);
  return decoded > queued_ms ? decoded - queued_ms : 0;
}

void PlayerControls::TogglePause() {
  MP3_HANDLE h = player_.handle();
  // Without a device the player does not hold still by itself: the output, once paused, stops
  // taking its blocks.
  if (paused_) {
    if (Report(Mp3_Resume(h), "Playing")) {
      output_.Resume();
      paused_ = false;
      clock_.Resume();
    }
  } else if (Report(Mp3_Pause(h), "Paused")) {
    output_.Pause();
    paused_ = true;
    clock_.Pause();
  }
}

void PlayerControls::Play() {
  if (!started_) {
    if (!StartFromCurrent()) status_line_ = "nothing to play";
  } else if (paused_) {
    TogglePause();
  }
}

void PlayerControls::Pause() {
  if (started_ && !paused_) TogglePause();
}

bool PlayerControls::RestartAt(uint32_t ms) {
  MP3_HANDLE h = player_.handle();
  MP3_TIME time = Milliseconds(ms);
  Halt();
  if (!Report(Mp3_Seek(h, TIME_FORMAT_MS, &time, MOVE_FROM_START), "")) return false;
  if (!OpenOutput()) return false;
  track_start_frame_ = output_.written_frames();
  AnnounceWhenHeard();
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
    status_line_ = problems.empty() ? SourceName(location) + ": nothing to play" : problems.front();
    return false;
  }
  Stop();
  entries_ = std::move(entries);
  order_ = PlayOrder(entries_.size(), order_.shuffled(), order_.repeat(), std::random_device{}());
  return StartFromCurrent();
}

void PlayerControls::Stop() {
  MP3_HANDLE h = player_.handle();
  Halt();
  Mp3_Close(h);
  started_ = false;
  if (paused_) output_.Resume();
  paused_ = false;
  stopped_ = true;
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
  // The sound already queued would play in the old direction: the run starts again from here.
  Halt();
  if (Report(Mp3_ReverseMode(player_.handle(), reverse_ ? 0 : 1), "")) reverse_ = !reverse_;
  const std::string done = status_line_.empty() ? (reverse_ ? "Reverse" : "Forward") : status_line_;
  RestartAt(at);
  status_line_ = done;
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
  Halt();
  track_start_frame_ = output_.written_frames();
  if (Report(Mp3_PlayLoop(h, TIME_FORMAT_MS, &start_time, TIME_FORMAT_MS, &end_time, kLoopRepeats),
             "Looping " + FormatClock(loop_start_) + " - " + FormatClock(end))) {
    if (paused_) output_.Resume();
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
  // The output moves to the other device, and playback goes on from where we are.
  const uint32_t at = Position();
  Halt();
  output_.Close();
  if (RestartAt(at)) status_line_ = "Output device " + DeviceName();
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
  // The fade is decoded ahead of the ear by what the output holds.
  fade_deadline_ms_ = NowMs() + kFadeOutMs + kFadeGraceMs + output_.QueuedMs();
}
