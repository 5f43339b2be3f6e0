#include "game/win_main.h"

#include "game/level_frame.h"
#include "game/phase_loop.h"
#include "game/setup.h"
#include "game/teardown.h"
#include "game/title_story.h"
#include "game/world.h"

namespace {

GamePhase Phase = GamePhase::Starting;

constexpr const char* kWindowClass = "WINCLASS1";
constexpr const char* kWindowTitle = "Jed Grimstorm";

PhaseEnd RunPhase(GamePhase phase, const std::function<void()>& frame) {
  Phase = phase;
  return RunPhaseLoop(frame);
}

}  // namespace

GamePhase CurrentPhase() { return Phase; }

int WinMain() {
  Phase = GamePhase::Starting;
  if (!platform::RegisterWindowClass(kWindowClass, GameWindowProc)) return 0;
  if (platform::CreateGameWindow(kWindowClass, kWindowTitle, 640, 480) == nullptr) return 0;

  GameInit();
  PhaseEnd end = RunPhase(GamePhase::Title, [] { TitleFrame(); });
  // A closed window skips the phases still to come but still tears everything down.
  if (!end.program_quit) {
    TitleShutdown();
    StoryInit();
    end = RunPhase(GamePhase::Story, [] {
      StoryFrame();
      StoryFrameCount += 1;
    });
  }
  if (!end.program_quit) {
    StoryShutdown();
    LevelInit();
    end = RunPhase(GamePhase::Level, [] { LevelFrame(); });
  }
  LevelShutdown();
  Phase = GamePhase::Finished;
  return static_cast<int>(end.exit_code);
}
