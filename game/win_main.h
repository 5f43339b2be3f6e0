#pragma once
// The program: window, set-ups, the title, story and level phases, and the tear-downs.

enum class GamePhase { Starting, Title, Story, Level, Finished };
// The phase running now (read by replays and tests).
GamePhase CurrentPhase();

// Returns 0 when the window cannot be made, otherwise the wParam of the last quit message.
int WinMain();
