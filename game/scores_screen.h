#pragma once
// The high scores on the desktop: after the victory or game-over screen (the run is added to
// the table first) and from the title. After a run Space (the punch key) starts a new run from
// the title, Enter or Escape end the program as the end screen always has.
#include <string>

// path: the scores file; "" turns the screen off (the end screens end as they always did).
void EnableScoresScreen(const std::string& path);
bool ScoresScreenEnabled();

// Called as an end screen is left: adds the run (score, seconds played) and shows the table
// until the player chooses.
void ShowScoresAfterRun(int seconds);
// From the title: the table until Enter, Escape or Space, then waits until they are let go.
void ShowScoresFromTitle();
// True once after the player asked for another run; the program then starts one.
bool TakeRetryRequest();
