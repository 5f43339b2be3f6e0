// dar3play: a terminal MP3 player on the flat libdar3 API.
#include <cstdio>
#include <exception>
#include <string>

#include "dar3/dar3.h"
#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/terminal_ui.h"

namespace {

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "dar3play: %s\nTry 'dar3play --help'.\n", error.c_str());
    return 2;
  }
  switch (options.mode) {
    case RunMode::kHelp:
      std::fputs(UsageText(), stdout);
      return 0;
    case RunMode::kVersion: {
      MP3_HANDLE player = Mp3_Initialize();
      if (!player) {
        std::fputs("dar3play: libdar3 could not create a player\n", stderr);
        return 1;
      }
      const int version = Mp3_GetVersion(player);
      Mp3_Destroy(player);
      std::printf("dar3play with libdar3 %d.%02d\n", version / 100, version % 100);
      return 0;
    }
    case RunMode::kInfo:
      return RunInfo(options);
    case RunMode::kDecode:
      return RunDecode(options);
    case RunMode::kPlay:
      break;
  }
  return RunTerminalUi(options);
}

}  // namespace

int main(int argc, char** argv) {
  // Anything thrown (memory for a huge --stream file, say) unwinds through the screen's
  // clean-up, so the terminal is given back as it was.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dar3play: %s\n", e.what());
    return 1;
  }
}
