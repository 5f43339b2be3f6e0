#pragma once
// The game-over and victory screens: blocking loops inside the level frame that end, with the
// close request posted, once Escape or Enter is down.
void ShowVictoryScreen();
void ShowGameOverScreen();

// True while an end screen's loop runs (replays read its texts by it).
bool EndScreenShowing();

// Multiplier earned by finishing in `finish_time` seconds against the par time.
int ScoreMultiplierFor(int par_time, int finish_time, int current);
