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
  const int exit_status = ParseOptions(argc, argv, &options);
  if (exit_status >= 0) return exit_status;
  switch (options.mode) {
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
