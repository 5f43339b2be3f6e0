#include "tools/jedreplay/replay.h"

#include <cstdio>
#include <optional>

#include "game/crt_random.h"
#include "game/end_screens.h"
#include "game/game_text.h"
#include "game/new_run.h"
#include "game/world.h"
#include "platform/backend.h"
#include "platform/desktop.h"
#include "platform/video.h"
#include "platform/window.h"

using platform::Key;
using platform::KeyBit;

namespace {

void TraceFrame(uint64_t frame, uint32_t keys) {
  if (CurrentPhase() != GamePhase::Level) return;
  std::printf("%llu keys=%02x screen=%d hero=(%.1f,%.1f) anim=%d frame=%d atk=%d sp=%d air=%d hp=%d rage=%d |",
              static_cast<unsigned long long>(frame), keys, ScreenIndex, Hero.x, Hero.y, Hero.current_anim,
              Hero.current_frame, AttackState, SpecialState, Airborne, Health, Rage);
  for (int t = 0; t < THUG_COUNT; ++t) {
    const Sprite& thug = Thugs[t];
    if (thug.active && thug.x > -100 && thug.x < 740)
      std::printf(" t%d x=%.0f s=%d a=%d f=%d h=%d", t, thug.x, thug.counters[THUG_STATE], thug.current_anim,
                  thug.current_frame, thug.counters[THUG_HITS]);
  }
  std::printf("\n");
}

// A recorded close or focus loss, made at the present before its frame as the game made it.
void PlayScriptEvents(const KeyScript::Events& events) {
  if (events.close) platform::RequestQuit();
  if (events.unfocus)
    if (platform::HWND window = platform::GameWindowHandle())
      platform::PostMessage(window, platform::WM_ACTIVATE, platform::WA_INACTIVE, 0);
  for (const platform::PressedControl& press : events.presses) platform::NotePress(press);
}

}  // namespace

ReplayResult RunReplay(const ReplayOptions& options) {
  platform::SelectBackend(platform::Backend::Headless);
  PrepareNewRun();
  if (options.driver == ReplayOptions::Driver::Script && options.script.has_seed()) CrtSrand(options.script.seed());

  ReplayResult result;
  std::vector<std::string> frame_texts;
  std::optional<Autoplayer> autoplayer;
  if (options.driver == ReplayOptions::Driver::Autoplay) autoplayer.emplace(Autoplayer::Style::Fight);
  if (options.driver == ReplayOptions::Driver::StandStill) autoplayer.emplace(Autoplayer::Style::StandStill);

  SetTextObserver([&](const char* text, int32_t, int32_t) { frame_texts.emplace_back(text); });
  uint64_t frames = 0;
  std::vector<int> shot_saved(options.shots.size(), -1);  // -1: the frame never came
  int end_shot_saved = -1;
  platform::SetHeldKeys(options.driver == ReplayOptions::Driver::Script ? options.script.KeysFor(1) : 0);
  platform::SetPresentHook([&](uint64_t) {
    ++frames;
    if (EndScreenShowing()) result.end_screen_texts = frame_texts;
    if (!frame_texts.empty()) result.last_texts.swap(frame_texts);
    frame_texts.clear();
    for (size_t i = 0; i < options.shots.size(); ++i)
      if (options.shots[i].frame == frames) shot_saved[i] = platform::SaveLastFramePng(options.shots[i].path.c_str());

    uint32_t keys = 0;
    const bool limit_reached = options.max_frames != 0 && frames >= options.max_frames;
    const bool script_done = !autoplayer && frames >= options.script.last_frame();
    if (limit_reached || script_done) {
      // Escape on every other frame ends each phase in turn, end screens included.
      result.cut_short = result.cut_short || limit_reached;
      keys = frames % 2 == 0 ? KeyBit(Key::Escape) : 0;
    } else if (autoplayer) {
      keys = autoplayer->NextKeys();
      if (autoplayer->LeavingEndScreen() && !options.end_screen_shot.empty() && keys != 0)
        end_shot_saved = platform::SaveLastFramePng(options.end_screen_shot.c_str());
    } else {
      keys = options.script.KeysFor(frames + 1);
      PlayScriptEvents(options.script.EventsAt(frames + 1));
    }
    platform::SetHeldKeys(keys);
    if (options.trace) TraceFrame(frames, keys);
  });

  result.exit_code = WinMain();
  for (size_t i = 0; i < options.shots.size(); ++i) {
    const ReplayShot& shot = options.shots[i];
    if (shot_saved[i] == 1) continue;
    result.shot_failures.push_back(shot.path + ": " +
                                   (shot_saved[i] == 0
                                        ? "could not be written"
                                        : "frame " + std::to_string(shot.frame) + " was never shown (the run had " +
                                              std::to_string(frames) + ")"));
  }
  if (!options.end_screen_shot.empty() && end_shot_saved != 1)
    result.shot_failures.push_back(
        options.end_screen_shot + ": " +
        (end_shot_saved == 0 ? "could not be written" : "no end screen was left by the autoplayer"));

  platform::SetPresentHook(nullptr);
  SetTextObserver(nullptr);
  platform::SetHeldKeys(0);
  const bool cut_short = result.cut_short;
  static_cast<RunState&>(result) = CaptureRunState(result.exit_code, frames);
  result.cut_short = cut_short;
  return result;
}
