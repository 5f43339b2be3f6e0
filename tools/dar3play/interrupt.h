#pragma once
// Ctrl+C and SIGTERM end playback or a decode through the normal clean-up (the terminal is
// restored, a half-written WAV removed) instead of killing the program on the spot.
void CatchInterrupts();
bool Interrupted();
// The exit status of a program ended by the signal caught, as the shell reports one:
// 130 after Ctrl+C, 143 after SIGTERM.
int InterruptedStatus();
