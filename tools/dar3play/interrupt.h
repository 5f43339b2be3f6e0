#pragma once
// Ctrl+C and SIGTERM end playback or a decode through the normal clean-up (the terminal is
// restored, a half-written WAV removed) instead of killing the program on the spot.
void CatchInterrupts();
bool Interrupted();
// The exit status of a program ended by an interrupt, as the shell reports one.
constexpr int kInterruptedStatus = 130;
