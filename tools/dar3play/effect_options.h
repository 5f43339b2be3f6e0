// Applies the effect options of the command line to an open player.
#pragma once

#include "tools/dar3play/cli_options.h"
#include "tools/dar3play/player.h"

// False with the player's message in player->failure() when an effect is refused.
bool ApplyEffectOptions(const Options& options, Player* player);
