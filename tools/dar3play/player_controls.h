// The interactive player's state and what each key does to it, apart from the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/player.h"
#include "tools/dar3play/position_clock.h"
#include "tools/dar3play/track_info.h"

// The name of a spectrum window type, 1..14.
const char* WindowName(int window_type);

class PlayerControls {
 public:
  explicit PlayerControls(const Options& options);

  // Opens and starts file index, skipping ahead past files that fail; false when none is left.
  bool StartTrack(size_t index);
  // Called every refresh: moves on when a track ended. False once the list is done.
  bool Tick();

  void TogglePause();
  void SeekBy(int delta_ms);
  void ChangeVolume(int delta);
  void Next();
  void Previous();
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
  const TrackInfo& info() const { return info_; }
  size_t index() const { return index_; }
  size_t count() const { return options_.files.size(); }
  uint32_t Position();
  bool position_estimated() const { return clock_.estimated(); }
  MP3_STATUS Status() const;
  const std::string& status_line() const { return status_line_; }
  const std::vector<std::string>& failures() const { return failures_; }
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
  // Restarts playback at ms (Seek leaves the player stopped), keeping a pause.
  bool RestartAt(uint32_t ms);
  void ApplySettings();

  Options options_;
  Player player_;
  TrackInfo info_;
  PositionClock clock_;
  size_t index_ = 0;
  bool started_ = false;
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
};
