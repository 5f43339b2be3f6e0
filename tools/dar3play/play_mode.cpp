#include "tools/dar3play/play_mode.h"

#include <unistd.h>

#include "tools/dar3play/mpris.h"
#include "tools/dar3play/plain_player.h"
#include "tools/dar3play/player_controls.h"
#include "tools/dar3play/remote_control.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/sound_device.h"
#include "tools/dar3play/terminal_ui.h"

int RunPlay(const Options& options, std::vector<PlaylistEntry> entries, std::vector<std::string> problems) {
  if (options.output_null) {
    SelectSilentOutput();
  } else if (CheckSoundOutput() == SoundOutput::kNone) {
    ReportError("no sound device: nothing will be heard (--output null plays without one)");
    return 1;
  }
  PlayerControls controls(options, std::move(entries), std::move(problems));
  if (!options.device.empty()) {
    std::string why;
    if (!controls.SelectDevice(options.device, &why)) {
      ReportError(why);
      return 1;
    }
  }
  // Media keys and desktop panels drive the player through the session bus, when there is one.
  const std::unique_ptr<Mpris> mpris = options.mpris ? Mpris::Connect(&controls) : nullptr;
  if (mpris) controls.SetPollHook([&mpris] { mpris->Poll(); });
  if (options.remote) return RunRemote(&controls);
  if (options.quiet || !isatty(STDOUT_FILENO)) return RunPlainPlayer(&controls, options.quiet, options.stats);
  return RunTerminalUi(&controls, options);
}
