// Playing a list: checks that it will be heard, picks the device, then plays with the full
// screen on a terminal or line by line elsewhere.
#pragma once

#include <string>
#include <vector>

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/playlist.h"

int RunPlay(const Options& options, std::vector<PlaylistEntry> entries, std::vector<std::string> problems);
