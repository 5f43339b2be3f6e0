#include "game/desktop_run.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "dar3/ruve3.hpp"
#include "game/data_dir.h"
#include "game/new_run.h"
#include "game/options_screen.h"
#include "game/run_recorder.h"
#include "game/run_state.h"
#include "game/scores.h"
#include "game/scores_screen.h"
#include "game/settings.h"
#include "game/volumes.h"
#include "game/win_main.h"
#include "game/window_icon.h"
#include "game/world.h"
#include "platform/command_line.h"
#include "sound/sound.h"

namespace {

std::string HelpEpilogue() {
  return "Keys: Left/Right walk, Up jump, Space punch, Shift special, Enter pause, Escape quit;\n"
         "O (or Y on a pad) options, from the title and the pause screen; S (or the left shoulder)\n"
         "the high scores ($XDG_DATA_HOME/jed-grimstorm/scores), from the title;\n"
         "Alt+Enter or F11 full screen / window, F12 screenshot (into " +
         platform::ScreenshotFolder() +
         ").\n"
         "Gamepads: D-pad or left stick walk, A punch, B jump, X or right shoulder special,\n"
         "Start pause, Back escape.\n"
         "\n"
         "Settings (keys, pad, display, volumes): " +
         SettingsPath() +
         "\n"
         "Extra pad mappings (SDL's gamecontrollerdb.txt format) beside it: gamecontrollerdb.txt\n"
         "Environment: JED_WINDOWED=1 opens a window, JED_HEADLESS=1 runs without one,\n"
         "JED_DATA_DIR names the folder holding the game's data.";
}

}  // namespace

int RunOnDesktop(int argc, char** argv) {
  std::string record_path;
  platform::CommandLine cli("jed-grimstorm", "[--record FILE]");
  cli.Describe(
      "Jed Grimstorm, a side-scrolling fighting game: walk right through the city and beat\n"
      "the thugs on the way.");
  cli.Value("--record", "FILE",
            "writes every frame's keys and the random seed to FILE (jedreplay --script\n"
            "FILE plays the run again) and prints the final state line on exit",
            [&](const std::string& path, std::string*) {
              record_path = path;
              return true;
            });
  cli.Epilogue(HelpEpilogue());
  int status = 0;
  if (cli.Parse(argc, argv, &status) == platform::CommandLine::Outcome::kExit) return status;

  const std::string settings_path = SettingsPath();
  SoundVolumes volumes;
  LoadSettingsFile(settings_path, &volumes);
  WriteSettingsOnFirstStart(settings_path, volumes);
  platform::SetPadMappingsFile(settings_path.substr(0, settings_path.rfind('/') + 1) + "gamecontrollerdb.txt");
  ApplyVolumes(volumes, true);
  platform::SetDisplayModeObserver([&](const platform::DisplayMode&) { SaveSettingsFile(settings_path, volumes); });
  // A recorded run stays one run that jedreplay plays frame for frame: no screens it cannot replay.
  if (record_path.empty()) EnableOptionsScreen(&volumes, [&] { SaveSettingsFile(settings_path, volumes); });

  RunRecorder recorder;
  std::string error;
  if (!record_path.empty() && !recorder.Start(record_path, &error)) {
    std::fprintf(stderr, "jed-grimstorm: cannot record: %s\n", error.c_str());
    return 2;
  }
  // The game works in its data folder from here on; the file names above are open already.
  if (!EnterDataFolder()) return 1;
  SetGameWindowIcon();
  if (record_path.empty()) EnableScoresScreen(ScoresPath());
  int exit_code = DataFailedExitCode(WinMain());
  // Another go, asked for on the scores screen: the world as at start, from the title.
  while (exit_code == 0 && TakeRetryRequest()) {
    PrepareNewRun();
    ApplyVolumes(volumes, true);
    exit_code = DataFailedExitCode(WinMain());
  }
  // No window means the display could not start: a failure, whatever the game's own result.
  if (platform::GameWindowHandle() == nullptr) exit_code = 1;
  platform::SetDisplayModeObserver(nullptr);
  EnableOptionsScreen(nullptr, nullptr);
  EnableScoresScreen("");
  if (record_path.empty()) return exit_code;
  if (!recorder.Finish()) std::fprintf(stderr, "jed-grimstorm: the recording %s is incomplete\n", record_path.c_str());
  std::printf("%s\n", DescribeRunState(CaptureRunState(exit_code, recorder.frames())).c_str());
  return exit_code;
}
