// Playing without a screen: standard output is not a terminal, or -q asked for quiet. One line
// a track on stdout (none with -q), failures on stderr as they happen, no escape sequences.
#pragma once

#include "tools/dar3play/player_controls.h"

// Prints each failure of the list on stderr once, as it happens.
class FailurePrinter {
 public:
  explicit FailurePrinter(const PlayerControls& c) : c_(c) {}
  void PrintNew();

 private:
  const PlayerControls& c_;
  size_t printed_ = 0;
};

// Plays the list through; returns the exit status. `stats`: says on stderr, at the end, how
// often the sound output was opened.
int RunPlainPlayer(PlayerControls* controls, bool quiet, bool stats);
