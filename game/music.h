#pragma once
// The music beside the game: one track at a time on the player, switched by name.

// Stop, open the named file with 800 ms of buffers, play. Returns at once; a file that cannot
// be opened leaves the music silent until the next switch.
void SwitchMusicTrack(const char* name);
// Ends the music without a following track.
void StopMusic();
