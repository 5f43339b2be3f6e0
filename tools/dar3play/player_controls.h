// The interactive player's state and what each key does to it, apart from the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/output_feed.h"
#include "tools/dar3play/output_meters.h"
#include "tools/dar3play/pcm_output.h"
#include "tools/dar3play/play_order.h"
#include "tools/dar3play/player.h"
#include "tools/dar3play/playlist.h"
#include "tools/dar3play/position_clock.h"
#include "tools/dar3play/stream_events.h"
#include "tools/dar3play/track_info.h"

// The name of a spectrum window type, 1..14.
const char* WindowName(int window_type);

class PlayerControls {
 public:
  // `problems` are the inputs that could not be listed; they count as failures.
  PlayerControls(const Options& options, std::vector<PlaylistEntry> entries, std::vector<std::string> problems);
  ~PlayerControls();
  PlayerControls(const PlayerControls&) = delete;
  PlayerControls& operator=(const PlayerControls&) = delete;

  // Plays on a device from --device; false with the reason when there is none such.
  bool SelectDevice(const std::string& wanted, std::string* why);
  // Opens and starts the first entry in play order, skipping entries that fail.
  bool Start();
  // Called every refresh: moves on when a track ended. False once the list is done (not after
  // Stop: the player then waits).
  bool Tick();
  // Counts up each time another track starts to be heard (or the same again), so a view knows
  // to redraw.
  unsigned track_serial() const { return track_serial_; }

  void TogglePause();
  // Resumes a pause, or after Stop starts the current entry again.
  void Play();
  // Pauses while playing; does nothing otherwise.
  void Pause();
  // Runs at every Tick: the desktop's media control answers from the main loop.
  void SetPollHook(std::function<void()> hook) { poll_hook_ = std::move(hook); }
  // Both return false with the reason on the status line.
  bool SeekBy(int delta_ms);
  bool SeekTo(uint32_t ms);
  // Replaces the list with what `location` names and starts it.
  bool Load(const std::string& location);
  // Stops playback; the list stays, so Next or Load go on from here.
  void Stop();
  bool playing() const { return started_; }
  void ChangeVolume(int delta);
  void Next();
  void Previous();
  void ToggleShuffle();
  void CycleRepeat();
  // Jumps to entry `number`, counted from 1 as the screen shows it.
  void JumpTo(size_t number);
  void ToggleReverse();
  void MarkLoopStart();
  void MarkLoopEnd();
  void ToggleLoop();
  void CycleEcho();
  void CycleEq();
  void CycleWindow();
  void ToggleVocalCut();
  void ToggleMix();
  void CycleDevice();
  // Starts a fade out; quit_requested() turns true once it has run.
  void FadeOutAndQuit();
  void Quit() { quit_ = true; }

  bool quit_requested();
  MP3_HANDLE handle() const { return player_.handle(); }
  // The track heard now. The next one is decoded while this one's end still sounds.
  const TrackInfo& info() const { return shown_info_; }
  // The track heard is a live broadcast: it has no length, only a time played.
  bool live() const { return shown_info_.web && shown_info_.web->live; }
  size_t index() const { return shown_index_; }
  size_t count() const { return entries_.size(); }
  // The current entry; an empty one before anything was loaded.
  const PlaylistEntry& entry() const;
  const PlayOrder& order() const { return order_; }
  // The title to show: a web stream's own, else the tag's, else the list's, else the file name.
  std::string Title() const;
  // A web stream's station, empty for others.
  std::string Station() const;
  // What web streams told, in order (each one also shows on the status line when it comes).
  const std::vector<StreamEvent>& stream_events() const { return stream_log_.events(); }
  uint32_t Position();
  bool position_estimated() const { return clock_.estimated(); }
  MP3_STATUS Status() const;
  const std::string& status_line() const { return status_line_; }
  const std::vector<std::string>& failures() const { return failures_; }
  // The meters of what sounds now (the player decodes ahead of it).
  void Vu(unsigned* left, unsigned* right) const { meters_.Vu(left, right); }
  bool Spectrum(int points, int window_type, int* count, int* freqs, int* left, int* right) {
    return meters_.Spectrum(points, window_type, count, freqs, left, right);
  }
  // How many times the sound output was opened: once for a list of one sample rate.
  int output_opens() const { return output_.opens(); }
  int volume() const { return volume_; }
  int eq_preset() const { return eq_preset_; }
  int echo_mode() const { return echo_mode_; }
  int window_type() const { return window_type_; }
  bool vocal_cut() const { return vocal_cut_; }
  bool mix() const { return mix_; }
  bool reverse() const { return reverse_; }
  uint32_t loop_start() const { return loop_start_; }
  uint32_t loop_end() const { return loop_end_; }
  std::string DeviceName() const;

 private:
  // Records a result for the status line: the text on success, the player's message otherwise.
  bool Report(int ok, const std::string& done);
  // Opens and starts the current entry; on failure records it. `follow`: the entry comes after
  // a track that ended by itself, whose end is still in the output: it is queued behind it
  // (gapless) when the rate is the same, and once it has been heard otherwise.
  bool OpenCurrent(bool follow);
  // The second half of OpenCurrent: the output at the track's rate, then playback.
  bool Begin();
  // Records why the current entry is skipped.
  void Skip(const std::string& why);
  // Starts the current entry, else the ones after it in play order; false when none would play.
  bool StartFromCurrent(bool follow = false);
  // Stops the run and drops what the output still holds.
  void Halt();
  // Opens the output for the open track; false with the reason on the status line.
  bool OpenOutput();
  // Makes the decoded track the one shown once the output has reached its first sample.
  void AnnounceWhenHeard();
  // After a track ended on its own: says so when it ended well before its length.
  void CheckEndedEarly();
  // Restarts playback at ms (Seek leaves the player stopped), keeping a pause.
  bool RestartAt(uint32_t ms);
  void ApplySettings();

  Options options_;
  std::vector<PlaylistEntry> entries_;
  PlayOrder order_;
  PcmOutput output_;
  OutputFeed feed_;
  OutputMeters meters_;
  Player player_;
  TrackInfo info_;        // of the track being decoded
  TrackInfo shown_info_;  // of the track being heard
  size_t shown_index_ = 0;
  uint64_t track_start_frame_ = 0;  // output frame where the decoded track begins
  bool announced_ = true;
  bool begin_pending_ = false;  // a new rate waits for the last track to be heard
  bool ending_ = false;         // the list is done; its end still sounds
  PositionClock clock_;
  bool started_ = false;
  bool stopped_ = false;  // by Stop, not by the end of the list
  bool pushed_ = false;   // the song plays as a pushed stream
  unsigned track_serial_ = 0;
  uint32_t last_position_ = 0;
  bool paused_ = false;
  bool quit_ = false;
  bool fading_out_ = false;
  int64_t fade_deadline_ms_ = 0;
  int volume_ = 100;
  int eq_preset_ = 0;
  int echo_mode_ = -1;
  int window_type_ = WINDOW_HANN;
  bool vocal_cut_ = false;
  bool mix_ = false;
  bool reverse_ = false;
  uint32_t loop_start_ = 0;
  uint32_t loop_end_ = 0;
  int64_t device_ = -1;  // WAVE_MAPPER
  std::string status_line_;
  std::vector<std::string> failures_;
  std::function<void()> poll_hook_;
  StreamEventLog stream_log_;
};
