#pragma once
// The options screen, opened from the title and the pause screen with the options key
// (game/screen_keys.h) on the desktop. Programs that do not enable it (the replay tool, tests of the game's
// rules) see the title and pause screens exactly as they always were.
#include <cstdint>
#include <functional>

#include "game/settings.h"

// volumes: the settings' volumes, changed in place; changed: called after every change (saves
// the file). Null turns the screen off.
void EnableOptionsScreen(SoundVolumes* volumes, std::function<void()> changed);
bool OptionsScreenEnabled();

// The hint naming the options key (and the scores key, with_scores), drawn when enabled.
void DrawOptionsHint(int32_t x, int32_t y, bool with_scores = false);
// Shows the options until the player leaves them (or the program is closing), then waits until
// Enter and Escape are let go, so the screen below does not take the last press as its own.
void RunOptionsScreen();
