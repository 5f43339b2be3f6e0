#pragma once
// The options screen, opened from the title and the pause screen with the options key (O, or Y
// on a pad) on the desktop. Programs that do not enable it (the replay tool, tests of the game's
// rules) see the title and pause screens exactly as they always were.
#include <cstdint>
#include <functional>

#include "game/settings.h"

// volumes: the settings' volumes, changed in place; changed: called after every change (saves
// the file). Null turns the screen off.
void EnableOptionsScreen(SoundVolumes* volumes, std::function<void()> changed);
bool OptionsScreenEnabled();

// True when the options key was pressed since the last call (presses in between are dropped).
bool OptionsAsked();
// The hint naming the options key, drawn when the screen is enabled.
void DrawOptionsHint(int32_t x, int32_t y);
// Shows the options until the player leaves them (or the program is closing), then waits until
// Enter and Escape are let go, so the screen below does not take the last press as its own.
void RunOptionsScreen();
