// dar3play: a terminal MP3 player on the flat libdar3 API.
#include <cstdio>
#include <string>

#include "dar3/dar3.h"
#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/terminal_ui.h"

int main(int argc, char** argv) {
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
      const int version = player ? Mp3_GetVersion(player) : 0;
      if (player) Mp3_Destroy(player);
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
