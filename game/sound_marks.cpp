#include "game/sound_marks.h"

#include "sound/sound.h"

namespace {
// A sound whose file did not load keeps the id -1: nothing to play or mark.
bool Loaded(int sound_id) { return sound_id >= 0 && sound_id < SOUND_TABLE_SIZE; }
}  // namespace

bool MarkedPlaying(int sound_id) { return Loaded(sound_id) && GetSoundStatus(sound_id) == SOUND_PLAYING; }

void PlayUnlessMarked(int sound_id) {
  if (Loaded(sound_id) && !MarkedPlaying(sound_id)) PlaySoundEffect(sound_id, 0);
}

void PlayAndMark(int sound_id) {
  if (!Loaded(sound_id) || MarkedPlaying(sound_id)) return;
  PlaySoundEffect(sound_id, 0);
  SetSoundStatus(sound_id, SOUND_PLAYING);
}

void ClearPlayingMark(int sound_id, bool stop) {
  if (!Loaded(sound_id)) return;
  if (stop) StopSoundEffect(sound_id);
  SetSoundStatus(sound_id, SOUND_STOPPED);
}
