// dar3play's command line.
#pragma once

#include <string>
#include <vector>

#include "tools/dar3play/play_order.h"
#include "tools/dar3play/replay_gain.h"

enum class RunMode { kPlay, kInfo, kDecode, kListDevices };

struct Options {
  RunMode mode = RunMode::kPlay;
  std::vector<std::string> files;  // files, folders, lists, URLs, "-"
  std::string wav_out;             // --decode
  bool json = false;
  bool stream = false;
  int eq_preset = 0;   // flat
  int echo_mode = -1;  // off
  bool reverse = false;
  int volume = -1;  // unchanged
  int buffer_ms = 500;
  bool gapless = true;  // trim the encoder's delay and padding (--no-gapless: play them)
  bool stats = false;   // refresh rate and CPU use on exit
  bool shuffle = false;
  RepeatMode repeat = RepeatMode::kOff;
  bool quiet = false;        // -q: nothing on stdout, errors only
  bool output_null = false;  // --output null: play in time, into no device
  std::string device;        // --device NAME|INDEX, empty for the default
  bool remote = false;       // commands on stdin, answers on stdout
  ReplayGainMode replay_gain = ReplayGainMode::kTrack;
  bool mpris = true;  // the desktop's media control, when there is a session bus
};

// Reads argv into *options and returns -1 to go on, or the status to exit with: 0 once --help
// or --version has been answered, 2 after a bad command line (reported on stderr).
int ParseOptions(int argc, char** argv, Options* options);
