#include "game/volumes.h"

#include "dar3/ruve3.hpp"
#include "game/world.h"
#include "sound/sound.h"

void ApplyVolumes(const SoundVolumes& volumes, bool only_changed) {
  SetEffectsVolume(volumes.effects);
  if (!only_changed)
    for (int id = 0; id < SOUND_TABLE_SIZE; ++id)
      if (sound_table[id].state != SOUND_FREE) SetSoundVolume(id, volumes.effects);
  if ((!only_changed || volumes.music != 100) && Mp3Player != nullptr) {
    Mp3Player->InternalVolume(1);
    Mp3Player->SetVolume(volumes.music, volumes.music);
  }
}
