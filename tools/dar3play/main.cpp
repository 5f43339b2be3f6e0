// dar3play: a terminal MP3 player on the flat libdar3 API.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>

#include "dar3/dar3.h"
#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/devices.h"
#include "tools/dar3play/play_mode.h"
#include "tools/dar3play/playlist.h"
#include "tools/dar3play/script_modes.h"

namespace {

int Run(int argc, char** argv) {
  Options options;
  const int exit_status = ParseOptions(argc, argv, &options);
  if (exit_status >= 0) return exit_status;
  switch (options.mode) {
    case RunMode::kListDevices: return RunListDevices();
    case RunMode::kInfo:
    case RunMode::kDecode:
    case RunMode::kPlay: break;
  }
  std::vector<std::string> problems;
  std::vector<PlaylistEntry> entries = ExpandInputs(options.files, &problems);
  if (options.mode == RunMode::kPlay) return RunPlay(options, std::move(entries), std::move(problems));
  for (const std::string& problem : problems) ReportError(problem);
  const int status = options.mode == RunMode::kInfo ? RunInfo(options, entries) : RunDecode(options, entries);
  return problems.empty() ? status : std::max(status, 1);
}

}  // namespace

int main(int argc, char** argv) {
  // Tags print in the user's character set; what it cannot show becomes '?'.
  std::setlocale(LC_ALL, "");
  // Anything thrown (memory for a huge --stream file, say) unwinds through the screen's
  // clean-up, so the terminal is given back as it was.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dar3play: %s\n", e.what());
    return 1;
  }
}
