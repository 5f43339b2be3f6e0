#pragma once
// Puts the world back as the program starts it, so one process can play the game again
// (replays and tests). Call only after LevelShutdown, or before the first run.
void PrepareNewRun();
