#include "game/run_state.h"

#include <cstdio>

#include "game/world.h"

const char* PhaseName(GamePhase phase) {
  switch (phase) {
    case GamePhase::Starting: return "Starting";
    case GamePhase::Title: return "Title";
    case GamePhase::Story: return "Story";
    case GamePhase::Level: return "Level";
    case GamePhase::Finished: return "Finished";
  }
  return "?";
}

RunState CaptureRunState(int exit_code, uint64_t frames) {
  RunState state;
  state.exit_code = exit_code;
  state.phase = CurrentPhase();
  state.frames = frames;
  state.screen = ScreenIndex;
  state.health = Health;
  state.rage = Rage;
  state.score = Score;
  state.multiplier = ScoreMultiplier;
  state.frame_counter = FrameCounter;
  state.knockouts = Knockouts;
  state.won = GameWon != 0;
  state.lost = GameOver != 0;
  return state;
}

std::string DescribeRunState(const RunState& r) {
  char line[256];
  std::snprintf(line, sizeof line,
                "phase=%s exit=%d frames=%llu screen=%d health=%d rage=%d score=%d multiplier=%d "
                "frame_counter=%d knockouts=%d won=%d lost=%d%s",
                PhaseName(r.phase), r.exit_code, static_cast<unsigned long long>(r.frames), r.screen, r.health, r.rage,
                r.score, r.multiplier, r.frame_counter, r.knockouts, r.won, r.lost, r.cut_short ? " cut_short=1" : "");
  return line;
}
