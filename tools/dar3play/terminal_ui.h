// The interactive full-screen player.
#pragma once

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/player_controls.h"

// Plays the list on the full screen; returns the exit status (1 when any entry failed).
int RunTerminalUi(PlayerControls* controls, const Options& options);
