#pragma once
// The state a run ends in, as one line: replays print it, and the game prints it after a
// recorded run, so the two can be compared word for word.
#include <cstdint>
#include <string>

#include "game/win_main.h"

struct RunState {
  int exit_code = -1;
  GamePhase phase = GamePhase::Starting;
  uint64_t frames = 0;  // frames presented
  int32_t screen = 0, health = 0, rage = 0, score = 0, multiplier = 0, frame_counter = 0, knockouts = 0;
  bool won = false, lost = false, cut_short = false;
};

// The world's values now, with the exit status and the frames presented.
RunState CaptureRunState(int exit_code, uint64_t frames);
// "phase=Level exit=0 frames=... screen=12 health=... " on one line.
std::string DescribeRunState(const RunState& state);
const char* PhaseName(GamePhase phase);
