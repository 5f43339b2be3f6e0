#pragma once
// Runs the whole game on the headless backend, driven by a key script or the autoplayer, as
// fast as the machine allows (the clock is virtual).
#include <cstdint>
#include <string>
#include <vector>

#include "game/run_state.h"
#include "game/win_main.h"
#include "tools/jedreplay/autoplayer.h"
#include "tools/jedreplay/key_script.h"

struct ReplayShot {
  uint64_t frame;  // presented frame number, from 1
  std::string path;
};

struct ReplayOptions {
  enum class Driver { Script, Autoplay, StandStill } driver = Driver::Autoplay;
  KeyScript script;
  std::vector<ReplayShot> shots;
  std::string end_screen_shot;  // the end screen as the autoplayer leaves it ("" for none)
  // Prints the hero's and the nearby thugs' state after every level frame.
  bool trace = false;
  // After this many frames the run is ended with Escape presses (0: no limit).
  uint64_t max_frames = 200000;
};

// The end state (phase, frames, score ...) and what the replay saw on the way.
struct ReplayResult : RunState {
  std::vector<std::string> last_texts;        // texts of the last frame that showed any
  std::vector<std::string> end_screen_texts;  // texts of the last end-screen frame
  std::vector<std::string> shot_failures;     // screenshots asked for and not written, and why
};

// Selects the headless backend (it must not be chosen otherwise before) and plays one game.
ReplayResult RunReplay(const ReplayOptions& options);
// "phase=Level screen=12 health=... " on one line.
inline std::string DescribeResult(const ReplayResult& result) { return DescribeRunState(result); }
