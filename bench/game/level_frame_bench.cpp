// CPU time of one level frame (its 30 ms wait costs nothing on the headless virtual clock)
// during a fight on screen 10, where six thugs stand.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>

#include "game/level_frame.h"
#include "game/phase_loop.h"
#include "game/setup.h"
#include "game/world.h"
#include "platform/backend.h"
#include "platform/window.h"

namespace {

constexpr int kFightScreen = 10;
constexpr int kScreenThugs[] = {18, 19, 20, 26, 27, 28};

bool SetUpLevel() {
  if (chdir(JED_ASSET_DIR) != 0) return false;
  platform::SelectBackend(platform::Backend::Headless);
  platform::RegisterWindowClass("WINCLASS1", GameWindowProc);
  if (!platform::CreateGameWindow("WINCLASS1", "Jed Grimstorm", 640, 480)) return false;
  GameInit();
  StoryInit();
  LevelInit();
  ScreenIndex = kFightScreen;
  for (Sprite& thug : Thugs) thug.x -= 640.0f * kFightScreen;
  return true;
}

// The hero in the middle of the six, punching, while they all close in and hit back.
void KeepTheFightGoing() {
  Hero.x = 300;
  Health = 100;
  ScreenIndex = kFightScreen;
  for (int t : kScreenThugs)
    if (Thugs[t].counters[THUG_STATE] < THUG_CHASE) Thugs[t].counters[THUG_STATE] = THUG_CHASE;
  // No knockouts: the same six thugs fight in every measured frame.
  for (int t : kScreenThugs) Thugs[t].counters[THUG_HITS] = 0;
}

void BM_LevelFrameFightOnScreen10(benchmark::State& state) {
  static const bool ready = SetUpLevel();
  if (!ready) {
    state.SkipWithError("assets or window missing");
    return;
  }
  platform::SetHeldKeys(platform::KeyBit(platform::Key::Space));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    KeepTheFightGoing();
    LevelFrame();
  }
  platform::MSG msg{};
  while (platform::PeekMessage(&msg)) {
  }
}
BENCHMARK(BM_LevelFrameFightOnScreen10)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
