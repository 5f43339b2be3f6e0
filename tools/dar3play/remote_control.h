// --remote: a line protocol on stdin/stdout for frontends. Each command line gets exactly one
// answer line, "ok ...", "status ..." or "error ...". Commands:
//   load LOCATION      play a file, folder, list or URL (replaces the list)  -> ok playing TITLE
//   pause              pause, or resume when paused                           -> ok paused | ok playing
//   seek SECONDS       to that second; +N or -N from where it is             -> ok position MS
//   volume N           0..100                                                 -> ok volume N
//   stop               stop; next or load start again                         -> ok stopped
//   next               the next entry                                         -> ok playing TITLE
//   status             -> status STATE POSITION_MS LENGTH_MS VOLUME ENTRY/COUNT TITLE
//   quit               -> ok quit, then the program ends
// STATE is playing, paused or stopped; LENGTH_MS is 0 for a live stream. End of input quits as well.
#pragma once

#include <string>

#include "tools/dar3play/player_controls.h"

// The answer to one command line; sets *quit for quit.
std::string AnswerRemoteCommand(const std::string& line, PlayerControls* controls, bool* quit);
// Reads commands until quit or the end of input; returns the exit status.
int RunRemote(PlayerControls* controls);
