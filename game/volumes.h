#pragma once
// The music and effects volumes of the settings, put into the player and the sound effects.
#include "game/settings.h"

// At start (only_changed): full volume, the default, touches nothing, so the sound stays exactly
// as it always was. From the options screen every value is put in place, loaded effects too.
void ApplyVolumes(const SoundVolumes& volumes, bool only_changed = false);
