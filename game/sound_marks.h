#pragma once
// The game's use of the sound table's playing marks.

// Plays the sound once unless the game marked it playing (a mark it never sets for this sound).
void PlayUnlessMarked(int sound_id);
// Plays the sound once and marks it playing, unless it is marked already.
void PlayAndMark(int sound_id);
// Clears a playing mark without stopping the sound; `stop` also stops it.
void ClearPlayingMark(int sound_id, bool stop);
bool MarkedPlaying(int sound_id);
