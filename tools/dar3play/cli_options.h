// dar3play's command line.
#pragma once

#include <string>
#include <vector>

enum class RunMode { kPlay, kInfo, kDecode, kHelp, kVersion };

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

// Parses argv; on a bad command line returns false with a message in *error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);
const char* UsageText();
