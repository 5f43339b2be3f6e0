// dar3play's command line.
#pragma once

#include <string>
#include <vector>

enum class RunMode { kPlay, kInfo, kDecode };

struct Options {
  RunMode mode = RunMode::kPlay;
  std::vector<std::string> files;
  std::string wav_out;  // --decode
  bool json = false;
  bool stream = false;
  int eq_preset = 0;     // flat
  int echo_mode = -1;    // off
  bool reverse = false;
  int volume = -1;       // unchanged
  int buffer_ms = 500;
  bool stats = false;  // refresh rate and CPU use on exit
};

// Reads argv into *options and returns -1 to go on, or the status to exit with: 0 once --help
// or --version has been answered, 2 after a bad command line (reported on stderr).
int ParseOptions(int argc, char** argv, Options* options);
