// The interactive full-screen player.
#pragma once

#include "tools/dar3play/cli_options.h"

// Plays options.files in order; returns the exit status (1 when any file failed).
int RunTerminalUi(const Options& options);
